#pragma once

#include "fakeclock.h"
#include "fakedialogs.h"
#include "fakeofficelink.h"
#include "mainwindow.h"
#include "runningexport.h"
#include "settingsstore.h"

#include <QTemporaryDir>

#include <memory>

// A main window with scripted dialogs, its own settings file, a recording
// office and a fixed desktop folder. Several windows may be made in turn on
// the same settings, as successive starts of the program.
class WindowHarness {
public:
    WindowHarness() : settings(dir.filePath("config/Velmora/Tarnwick.conf"))
    {
        programDir = dir.filePath("program");
        QDir().mkpath(programDir);
    }

    std::unique_ptr<Form1> make()
    {
        AppServices services{dialogs, settings,   clock,
                             *link,   programDir, [this] { return desktopFolder(); },
                             [] {},   &running};
        return std::make_unique<Form1>(services);
    }

    // A started window: made and loaded.
    std::unique_ptr<Form1> start()
    {
        auto window = make();
        loaded = window->Form_Load();
        return window;
    }

    // The list's rows, first to last.
    static QStringList rows(Form1& window);

    template <class W> static W* child(Form1& window, const char* name)
    {
        return window.findChild<W*>(QLatin1String(name));
    }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    SettingsStore settings;
    FakeClock clock;
    FakeOfficeLink office;
    // The office the window uses; the recording one unless a test says so.
    OfficeLink* link = &office;
    QString programDir;
    std::function<QString()> desktopFolder = [] { return QStringLiteral("/home/ann/Desktop/"); };
    RunningExport running;
    bool loaded = false;
};

#include "filelistmodel.h"

inline QStringList WindowHarness::rows(Form1& window)
{
    QStringList texts;
    for (int i = 1; i <= window.fileList().count(); ++i)
        texts << window.fileList().textAt(i);
    return texts;
}
