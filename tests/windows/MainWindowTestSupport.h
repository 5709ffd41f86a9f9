#pragma once
// Shared by the window tests: Qt's event loop behind the core's seam,
// answering modal dialogs from the event loop, waiting for a condition while
// events run, and language files installed for one test.
#include "foundation/EventLoop.h"
#include "foundation/TLang.h"
#include "link/LinkTestSupport.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TempDir.h"
#include "support/qt/ScriptedFileDialogs.h"
#include "windows/QtEventLoop.h"
#include "windows/TFMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Installs Qt's event pump and poster for one test, as the program does at
// start-up, and restores the plain defaults afterwards.
class QtEventLoopScope {
public:
    QtEventLoopScope() { InstallQtEventLoop(); }
    ~QtEventLoopScope()
    {
        QCoreApplication::processEvents();
        SetEventPump({});
        SetMainThreadPoster({});
        SetExceptionHandler({});
    }
};

// Lets events run until pred holds or ms have passed; true when it held.
inline bool WaitUntil(const std::function<bool()>& pred, int ms = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Lets events run for ms milliseconds.
inline void RunEventsFor(int ms)
{
    WaitUntil([] { return false; }, ms);
}

// Runs `action` on the first visible window of type T, from the event loop,
// so that a test can answer a dialog that a command runs with exec(). When
// none shows within the time-out the test fails and every open dialog is
// rejected, so the test ends instead of hanging.
template <class T>
void WhenShown(std::function<void(T*)> action, int timeoutMs = 10000)
{
    auto* timer = new QTimer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, deadline] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<T*>(w); found && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(found);
                return;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected window never showed";
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
                    d->done(QDialog::Rejected);
        }
    });
    timer->start(10);
}

// The translation service of a test, with the built-in language current and
// the given language files (name and text; no text makes an unreadable
// folder of that name) to switch to.
class InstalledLanguages {
public:
    InstalledLanguages(std::initializer_list<std::pair<const char*, const char*>> files)
    {
        for (const auto& [name, text] : files) {
            if (text)
                WriteFileBytes(folder_ / name, text);
            else
                std::filesystem::create_directory(folder_ / name);
        }
        previous_ = std::exchange(TheLang, std::make_unique<TLang>(folder_.path().string()));
    }
    ~InstalledLanguages() { TheLang = std::move(previous_); }

private:
    TempDir folder_;
    std::unique_ptr<TLang> previous_;
};

// Clicks the first row of a list view, ctrl-clicks the others.
inline void ClickRows(QAbstractItemView* view, const std::vector<int>& rows)
{
    view->selectionModel()->clear();
    for (size_t i = 0; i < rows.size(); ++i)
        QTest::mouseClick(view->viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                          view->visualRect(view->model()->index(rows[i], 0)).center());
}

// Opens a list view's popup menu and returns what it offers; with an item
// (an object name), runs it.
inline QStringList Popup(QAbstractItemView* view, const char* item = nullptr)
{
    emit view->customContextMenuRequested(QPoint(10, 10));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList offered;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            offered << a->text();
    if (item)
        menu->findChild<QAction*>(QLatin1String(item))->trigger();
    menu->hide();
    return offered;
}

// The program's main window on a settings file in a temporary folder, with
// scripted file dialogs and message boxes and only the serial ports of portMap.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { SetFileDialogs(&files); }
    void TearDown() override
    {
        main.reset();
        SetFileDialogs(nullptr);
    }

    // Starts the window (the settings file written first when given) and
    // waits for its start-up; languages come from dir/lng.
    void Start(const QStringList& params = {}, const std::string& settings = {})
    {
        main.reset();
        if (!settings.empty())
            WriteFileBytes(IniFile(), settings);
        std::filesystem::create_directories(dir / "lng");
        ports.emplace(portMap);
        TFMainSetup setup;
        setup.Params = params;
        setup.LanguageFolder = (dir / "lng").string();
        setup.ConfigFile = IniFile().string();
        main = std::make_unique<TFMain>(setup);
        main->show();
        ASSERT_TRUE(WaitUntil([this] { return main->Option() == 5; }));
    }
    std::filesystem::path IniFile() const { return dir / "vexautils.Ini"; }

    // The texts of the boxes (only the errors when asked) shown since the last call.
    std::vector<std::string> Shown(bool errorsOnly = false)
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes())
            if (!errorsOnly || box.kind == BoxKind::Error)
                texts.push_back(box.text);
        boxes.Clear();
        return texts;
    }

    QtEventLoopScope loop;
    TempDir dir;
    std::map<int, std::string> portMap; // COMn -> device; every other port missing
    std::optional<PortEnv> ports;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    std::unique_ptr<TFMain> main;
};
