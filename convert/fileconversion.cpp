#include "fileconversion.h"

#include "exportleftovers.h"
#include "fileurl.h"
#include "officeerror.h"
#include "pdfexportargs.h"
#include "pdftarget.h"
#include "pdfwritten.h"
#include "propertyvalue.h"
#include "runningexport.h"
#include "unostring.h"

#include <QFileInfo>

namespace {
template <class Make> void replace(OfficeRef& slot, Make make)
{
    slot.reset();
    slot = make();
}

OfficeError notOpened(const QString& sourcePath)
{
    return OfficeError(QStringLiteral("The file could not be opened: %1. It may be damaged, "
                                      "password-protected or not a spreadsheet.")
                           .arg(sourcePath));
}
} // namespace

FileConversion::FileConversion(OfficeOperations& office, RunningExport* running)
    : office_(office), running_(running)
{
}

FileConversion::~FileConversion() = default;

void FileConversion::createServiceManager()
{
    replace(serviceManager_, [&] { return office_.createServiceManager(); });
}

void FileConversion::createDesktop()
{
    replace(desktop_, [&] {
        return office_.createInstance(serviceManager_,
                                      QStringLiteral("com.sun.star.frame.Desktop"));
    });
}

void FileConversion::load(const QString& sourcePath)
{
    replace(document_, [&] {
        // The office opens an empty file as a new, blank document, which
        // would export as a blank page.
        const QFileInfo source(sourcePath);
        if (source.isFile() && source.size() == 0)
            throw OfficeError(
                QStringLiteral("The file could not be opened: %1. It is empty, not a spreadsheet.")
                    .arg(sourcePath));
        const auto hidden =
            SequenceOf({CreatePropertyValue(QStringLiteral("Hidden"), css::uno::Any(true))});
        OfficeRef doc;
        try {
            doc = office_.loadComponentFromURL(desktop_, FileUrlFromPath(sourcePath),
                                               QStringLiteral("_blank"), 0, hidden);
        } catch (const OfficeMemoryError& e) {
            throw OfficeError(QStringLiteral("The file could not be opened: %1. %2")
                                  .arg(sourcePath, e.description()));
        }
        if (!doc)
            throw notOpened(sourcePath);
        // Where the whole suite is installed, a text, a picture or a PDF
        // opens in another module and would export like a spreadsheet; with
        // Calc alone it does not open at all. Either way it is not one.
        bool spreadsheet = false;
        try {
            spreadsheet = office_.supportsService(doc, SpreadsheetService);
        } catch (const TarnwickError&) {
            closeQuietly(doc);
            throw;
        }
        if (!spreadsheet) {
            closeQuietly(doc);
            throw notOpened(sourcePath);
        }
        return doc;
    });
}

void FileConversion::closeQuietly(OfficeRef& document)
{
    // The error that the caller raises next is the one to tell.
    try {
        office_.close(document, true);
    } catch (const TarnwickError&) {
    }
    office_.release(document);
}

void FileConversion::createDispatchHelper()
{
    replace(dispatchHelper_, [&] {
        return office_.createInstance(serviceManager_,
                                      QStringLiteral("com.sun.star.frame.DispatchHelper"));
    });
}

void FileConversion::getController()
{
    replace(controller_, [&] { return office_.getCurrentController(document_); });
}

void FileConversion::getFrame()
{
    replace(frame_, [&] { return office_.getFrame(controller_); });
}

void FileConversion::makeUrlRecord(const QString& outputPath)
{
    arguments_[0] = css::beans::PropertyValue();
    target_.reset();
    target_ = std::make_unique<PdfTarget>(outputPath);
    arguments_[0] = UrlRecord(FileUrlFromPath(target_->exportPath()));
}

void FileConversion::makeFilterNameRecord()
{
    arguments_[1] = FilterNameRecord();
}

void FileConversion::makeFilterDataRecord()
{
    arguments_[2] = FilterDataRecord();
}

void FileConversion::dispatch(const QString& outputPath)
{
    // The URL record names where the office writes: the PDF, or a new file
    // beside it that then replaces the PDF's name.
    const std::unique_ptr<PdfTarget> target = std::move(target_);
    const QString written = target ? target->exportPath() : outputPath;
    const FileStamp before = FileStamp::of(written);
    const ExportLeftovers leftovers(outputPath, office_.officePid(), office_.profileDir(),
                                    target ? target->ownFile() : QString());
    const RunningExport::Scope running(running_, leftovers);
    try {
        office_.executeDispatch(dispatchHelper_, frame_, QStringLiteral(".uno:ExportToPDF"),
                                QString(), 0, arguments_);
        VerifyPdfWritten(written, before, outputPath);
        if (target)
            target->commit();
    } catch (...) {
        // A failed or killed export must not leave its half-written file in
        // the user's folder.
        leftovers.removeNew();
        throw;
    }
}

void FileConversion::close()
{
    office_.close(document_, true);
}

void FileConversion::release()
{
    office_.release(document_);
}

void FileConversion::releaseAll()
{
    for (OfficeRef* object :
         {&frame_, &controller_, &document_, &dispatchHelper_, &desktop_, &serviceManager_})
        office_.release(*object);
    arguments_ = PropertyValues(3);
    target_.reset();
}

void RunFileSteps(FileConversion& file, const QString& sourcePath, const QString& outputPath,
                  const FileWaits& waits, const StepRunner& run)
{
    run(FileStep::ServiceManager, [&] { file.createServiceManager(); });
    run(FileStep::Desktop, [&] { file.createDesktop(); });
    run(FileStep::Load, [&] { file.load(sourcePath); });
    run(FileStep::DispatchHelper, [&] { file.createDispatchHelper(); });
    run(FileStep::Controller, [&] { file.getController(); });
    run(FileStep::Frame, [&] { file.getFrame(); });
    run(FileStep::YieldAfterFrame, waits.yield);
    run(FileStep::YieldAgainAfterFrame, waits.yield);
    run(FileStep::UrlRecord, [&] { file.makeUrlRecord(outputPath); });
    run(FileStep::FilterNameRecord, [&] { file.makeFilterNameRecord(); });
    run(FileStep::FilterDataRecord, [&] { file.makeFilterDataRecord(); });
    run(FileStep::Export, [&] { file.dispatch(outputPath); });
    run(FileStep::PauseAfterExport, waits.pause);
    run(FileStep::YieldAfterExport, waits.yield);
    run(FileStep::YieldAgainAfterExport, waits.yield);
    run(FileStep::Close, [&] { file.close(); });
    run(FileStep::Release, [&] { file.release(); });
}

void ConvertFile(OfficeOperations& office, const QString& sourcePath, const QString& outputPath,
                 RunningExport* running)
{
    RefuseSourceAsPdf(sourcePath, outputPath);
    FileConversion file(office, running);
    FileStep current = FileStep::ServiceManager;
    try {
        RunFileSteps(file, sourcePath, outputPath, {},
                     [&](FileStep step, const std::function<void()>& action) {
                         current = step;
                         action();
                     });
    } catch (...) {
        // The loaded document must not stay open in the office. The failed
        // step's error is the one to tell; a close that fails after it (the
        // office was killed) adds nothing.
        if (current < FileStep::Close && file.hasDocument()) {
            try {
                file.close();
            } catch (const TarnwickError&) {
            }
        }
        file.releaseAll();
        throw;
    }
    file.releaseAll();
}
