#pragma once
// What the report tests share: lists to print, the preview driven from its
// own event loop, and the outside readers that check the files written.
#include "foundation/TLang.h"
#include "foundation/ui/QtText.h"
#include "printing/PagePainter.h"
#include "printing/ReportExport.h"
#include "printing/TFPPreview.h"
#include "printing/TFQrManLst.h"
#include "support/TempDir.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <numeric>
#include <ostream>

// Readable failure messages for the texts of a report.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline QString PathIn(const TempDir& dir, const std::string& name)
{
    return QString::fromStdString((dir / name).string());
}

// A list like the channel list: caption "Canal n", a number, a padded name.
inline std::unique_ptr<QStandardItemModel> ChannelList(int rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows, 3);
    model->setHorizontalHeaderLabels({QStringLiteral("Nombre"), QStringLiteral("Sid"), QStringLiteral("Satélite")});
    for (int r = 0; r < rows; ++r) {
        model->setItem(r, 0, new QStandardItem(QStringLiteral("Canal %1").arg(r + 1)));
        model->setItem(r, 1, new QStandardItem(QString::number(28000 + r)));
        model->setItem(r, 2, new QStandardItem(QStringLiteral("Astra 19.2E  ")));
    }
    return model;
}

inline ReportDocument Generated(const QAbstractItemModel* model, std::vector<int> codes, int blocks = 1,
                                int fontSize = 10)
{
    TFQrManLst report;
    report.BeginRep({model, std::move(codes), QStringLiteral("Lista de canales"), {}, fontSize, blocks});
    return report.Generate();
}

// Runs an outside program; false when it is not installed or failed.
inline bool RunTool(const QString& program, const QStringList& args, QByteArray* out = nullptr)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return false;
    QProcess process;
    process.start(path, args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

inline bool HasTool(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The numbers the pattern's first group finds, in reading order.
inline std::vector<int> Numbers(const QString& text, const char* pattern)
{
    std::vector<int> numbers;
    const QRegularExpression re(QString::fromUtf8(pattern), QRegularExpression::MultilineOption);
    for (auto it = re.globalMatch(text); it.hasNext();)
        numbers.push_back(it.next().captured(1).toInt());
    return numbers;
}

inline std::vector<int> Range(int first, int last)
{
    std::vector<int> v(std::size_t(std::max(0, last - first + 1)));
    std::iota(v.begin(), v.end(), first);
    return v;
}

// A PDF read back with poppler's tools.
struct PdfFacts {
    int pages = 0;
    QString size; // "595 x 842 pts (A4)"
    QString text; // pdftotext -layout
    std::vector<int> PageNumbers() const { return Numbers(text, "Página (\\d+)"); }
};

inline bool ReadPdf(const QString& path, PdfFacts& facts)
{
    QByteArray info, text;
    if (!RunTool(QStringLiteral("pdfinfo"), {path}, &info)
        || !RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}, &text))
        return false;
    const QString s = QString::fromUtf8(info);
    facts.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(s).captured(1).toInt();
    facts.size = QRegularExpression(QStringLiteral("Page size:\\s+(.*)")).match(s).captured(1).trimmed();
    facts.text = QString::fromUtf8(text);
    return true;
}

// Drives the preview window from the event loop that ShowPreview runs, once
// every page has been made. act must close the window; a window left open
// fails the test and is closed, so a test never hangs.
inline void WhenPreviewReady(QObject* context, std::function<void(TFPPreview*)> act)
{
    auto* poll = new QTimer(context);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, deadline] {
        TFPPreview* p = FPPreview;
        const bool ready = p && p->isVisible() && !p->Generating && p->Print->isEnabled();
        if (!ready && std::chrono::steady_clock::now() < deadline)
            return;
        poll->stop();
        poll->deleteLater();
        if (!ready) {
            ADD_FAILURE() << "the preview never became ready";
            return;
        }
        act(p);
        if (p->isVisible()) {
            ADD_FAILURE() << "the preview stayed open";
            p->close();
        }
    });
    poll->start(5);
}
