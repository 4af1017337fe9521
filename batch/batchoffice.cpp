#include "batchoffice.h"

#include "errors.h"
#include "fileconversion.h"
#include "officesession.h"
#include "officethread.h"
#include "pdfprofilesettings.h"
#include "unooffice.h"

#include <QDir>
#include <QFileInfo>

BatchOffice::BatchOffice(const OfficeInstallation& installation, const QString& profileRoot,
                         std::uint64_t memoryCeiling)
    : session_(
          std::make_unique<OfficeSession>(installation, profileRoot, WatchLimits{}, memoryCeiling)),
      office_(std::make_unique<UnoOffice>(*session_)), thread_(std::make_unique<OfficeThread>())
{
    session_->setProfileSetup(WritePdfExportSettings);
    thread_->post([session = session_.get()] { session->startInBackground(); });
}

BatchOffice::~BatchOffice()
{
    // The office ends from its own thread, after the calls still queued.
    thread_->post([session = session_.get()] { session->shutdown(); });
    thread_.reset();
}

void BatchOffice::convert(const BatchItem& item, std::function<void(const Outcome&)> done)
{
    thread_->post([this, item, done = std::move(done)] {
        Outcome outcome{item, {}};
        try {
            const QString folder = QFileInfo(item.pdf).path();
            if (!QDir().mkpath(folder))
                throw TarnwickError(QStringLiteral("The folder %1 cannot be made.").arg(folder));
            ConvertFile(*office_, item.source, item.pdf, &running_);
        } catch (...) {
            outcome.error = DescribeCurrentException().description;
        }
        done(outcome);
    });
}

void BatchOffice::abandon()
{
    session_->abandon();
    // Only once the office is dead: it might still write to the file.
    running_.removeLeftovers();
}
