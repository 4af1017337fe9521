#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Clock;
class DesktopIntegration;
class Dialogs;
class FileConversion;
class FileListModel;
class Guard;
class OfficeLink;
class RunningExport;

// Where the results go, as the window's output controls say it at the
// moment it is asked: they are read again for every file.
struct OutputChoice {
    bool intoFolder = false;
    bool besideSource = false;
    QString folder;
};

// "Start Converting To PDF": the file list, top to bottom, through the
// office, one numbered line per step, on the window's thread. It yields to
// the window's events at fixed points and shows its progress through its
// signals; the window starts it and shows what it is told.
class ConversionRun final : public QObject {
    Q_OBJECT

public:
    struct Needs {
        Dialogs& dialogs;
        FileListModel& files;
        OfficeLink& office;
        const Clock& clock;
        std::function<OutputChoice()> outputChoice;
        // Where the export in progress is marked; none when null.
        RunningExport* runningExport = nullptr;
        // What the desktop is told; nothing when null.
        DesktopIntegration* desktop = nullptr;
    };
    explicit ConversionRun(Needs needs, QObject* parent = nullptr);

    // The whole run, to "Done."; nothing when one is running already.
    void start();
    bool running() const { return ConversionRunning; }

signals:
    void progressChanged(int percent);
    void progressTextChanged(const QString& text);
    // The hourglass from each file's start (true) to the run's end (false).
    void busyChanged(bool busy);

private:
    void convertAll(Guard& g, DesktopIntegration& desktop);
    // The per-file steps for list position i; true when its PDF was
    // written. `output` gets the PDF's path.
    bool convertPosition(Guard& g, FileConversion& file, int i, QString& output);

    Needs needs_;
    // True from the start of a run to its end: keeps a second run out.
    bool ConversionRunning = false;
};
