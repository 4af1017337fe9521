#include "brokenpipes.h"

#include <csignal>

void IgnoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}
