#include "samplerun.h"

#include "apptitle.h"
#include "clock.h"
#include "fileconversion.h"
#include "officecheck.h"
#include "officeerror.h"
#include "officesession.h"
#include "paths.h"
#include "samples.h"
#include "unooffice.h"

#include <QDir>
#include <QTextStream>

int RunSampleConversion(Dialogs& dialogs, const QString& programDir, const QString& outputDir)
{
    QTextStream out(stdout);
    SetApplicationTitle();
    const auto installation = CheckOfficeSuite(dialogs);
    if (!installation)
        return 1;
    OfficeSession session(*installation, DefaultOfficeProfileRoot());
    session.startInBackground();
    UnoOffice office(session);
    SystemClock clock;

    QDir().mkpath(outputDir);
    int failures = 0;
    for (const QString& source : SampleFiles(programDir)) {
        const QString pdf = outputDir + u'/' + RemoveExtension(GetFileName(source)) + ".pdf";
        try {
            ConvertFile(office, clock, source, pdf);
            out << "converted " << source << " -> " << pdf << Qt::endl;
        } catch (const OfficeError& e) {
            ++failures;
            out << "failed    " << source << ": " << e.description() << Qt::endl;
        }
    }
    return failures == 0 ? 0 : 2;
}
