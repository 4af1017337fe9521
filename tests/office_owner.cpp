// A stand-in owner of an office: starts one, prints its pid, then ends in the
// way its second argument names, so that tests can check that the office
// never outlives its owner.
#include "brokenpipes.h"
#include "officelocator.h"
#include "officesession.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // As the program does at its start.
    IgnoreBrokenPipes();
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const auto installation = LocateOffice();
    if (!installation)
        return 3;
    OfficeSession session(*installation, QString::fromLocal8Bit(argv[1]));
    session.serviceManager();
    std::printf("pid %d\n", static_cast<int>(session.officePid()));
    std::fflush(stdout);

    // The test checks the office first, then lets us go on.
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        return 5;
    const QByteArray mode = argv[2];
    if (mode == "throw")
        throw std::runtime_error("an exception nobody catches");
    if (mode == "exit")
        std::exit(4); // no destructors of locals run
    if (mode == "wait")
        for (;;)
            ::pause();
    return 0;
}
