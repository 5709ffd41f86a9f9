#pragma once
// Drives the preview window from the event loop that ShowPreview runs, once
// every page has been made. act must close the window; a window left open
// fails the test and is closed, so a test never hangs.
#include "printing/TFPPreview.h"

#include <QAction>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

inline void WhenPreviewReady(QObject* context, std::function<void(TFPPreview*)> act, int timeoutMs = 10000)
{
    auto* poll = new QTimer(context);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, deadline] {
        TFPPreview* p = FPPreview;
        if (!p || !p->isVisible() || p->Generating || !p->Print->isEnabled()) {
            if (std::chrono::steady_clock::now() < deadline)
                return;
            ADD_FAILURE() << "the preview never became ready";
            poll->stop();
            poll->deleteLater();
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(p);
        if (p->isVisible()) {
            ADD_FAILURE() << "the preview stayed open";
            p->close();
        }
    });
    poll->start(5);
}
