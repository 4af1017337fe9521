#pragma once

#include "officeoperations.h"

#include <QString>

#include <functional>
#include <memory>

class PdfTarget;
class RunningExport;

// Converting one file, step by step, in the order the batch run calls the
// steps. Each step replaces the object it makes; when it fails, that object
// stays empty, so later steps fail clearly instead of reaching an object of
// the previous file.
class FileConversion {
public:
    // `running`, when given, knows the export in progress meanwhile.
    explicit FileConversion(OfficeOperations& office, RunningExport* running = nullptr);
    ~FileConversion();

    void createServiceManager();
    void createDesktop();
    // Loads the source hidden. A file the office cannot open, or opens as
    // anything but a spreadsheet, raises an error that names it; nothing of
    // it stays open.
    void load(const QString& sourcePath);
    void createDispatchHelper();
    void getController();
    void getFrame();
    void makeUrlRecord(const QString& outputPath);
    void makeFilterNameRecord();
    void makeFilterDataRecord();
    // Sends the export, then checks that the PDF was really written: the
    // office reports success even when it wrote nothing.
    void dispatch(const QString& outputPath);
    void close();
    void release();
    // Lets go of every office object (the end of a run).
    void releaseAll();
    bool hasDocument() const { return document_ != nullptr; }

    static inline const QString SpreadsheetService =
        QStringLiteral("com.sun.star.sheet.SpreadsheetDocument");

private:
    void closeQuietly(OfficeRef& document);

    OfficeOperations& office_;
    RunningExport* running_;
    OfficeRef serviceManager_, desktop_, document_, dispatchHelper_, controller_, frame_;
    PropertyValues arguments_{3};
    // Where the URL record sends the export.
    std::unique_ptr<PdfTarget> target_;
};

// The steps of converting one file, in their order. The waits are the
// window's: it handles its events at the yields and pauses after the export.
enum class FileStep {
    ServiceManager,
    Desktop,
    Load,
    DispatchHelper,
    Controller,
    Frame,
    YieldAfterFrame,
    YieldAgainAfterFrame,
    UrlRecord,
    FilterNameRecord,
    FilterDataRecord,
    Export,
    PauseAfterExport,
    YieldAfterExport,
    YieldAgainAfterExport,
    Close,
    Release,
};

struct FileWaits {
    std::function<void()> yield = [] {};
    std::function<void()> pause = [] {};
};

// Runs one step; the window numbers it and reports its failure, ConvertFile
// lets the failure propagate.
using StepRunner = std::function<void(FileStep, const std::function<void()>&)>;

// Every step for one file through `run`: the one sequence that the window's
// run and ConvertFile share.
void RunFileSteps(FileConversion& file, const QString& sourcePath, const QString& outputPath,
                  const FileWaits& waits, const StepRunner& run);

// All steps for one file, without the waits; the first failure propagates,
// after the loaded document has been closed. A PDF path that reaches the
// source itself is refused before anything else. `running`, when given, knows
// the export in progress meanwhile.
void ConvertFile(OfficeOperations& office, const QString& sourcePath, const QString& outputPath,
                 RunningExport* running = nullptr);
