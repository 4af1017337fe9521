#pragma once

#include "paths.h"

#include <QString>

#include <functional>

class Clock;
class DesktopIntegration;
class Dialogs;
class OfficeLink;
class RunningExport;
class SettingsStore;

// Everything the main window needs from outside, injected so that tests can
// script dialogs, use their own settings file, fake the office and the clock.
struct AppServices {
    Dialogs& dialogs;
    SettingsStore& settings;
    const Clock& clock;
    OfficeLink& office;
    // The folder that holds the program, its samples and pointer pictures.
    QString programDir;
    std::function<QString()> desktopFolder = GetDesktopFolder;
    // Ends the program at once; called when the window is closed.
    std::function<void()> endProgram;
    // Where the run marks the export in progress, so that an immediate end
    // can remove its temporary files; none when null.
    RunningExport* runningExport = nullptr;
    // What the run tells the desktop (taskbar, notification); nothing when
    // null.
    DesktopIntegration* desktop = nullptr;
};
