#include "fontwarmup.h"

#include <fontconfig/fontconfig.h>

// The configuration that FcInit loads is the process's current one, which
// Qt's font database takes up later instead of loading its own.
FontWarmUp::FontWarmUp() : thread_([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::wait()
{
    if (thread_.joinable())
        thread_.join();
}
