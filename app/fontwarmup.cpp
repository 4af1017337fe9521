#include "fontwarmup.h"

#include <QFontDatabase>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

// The configuration that FcInit loads is the process's current one, which
// Qt's font database takes up later instead of loading its own.
FontWarmUp::FontWarmUp()
    : thread_([this] {
          FcInit();
          std::unique_lock lock(mutex_);
          changed_.wait(lock, [this] { return next_ != Next::Wait; });
          if (next_ == Next::Stop)
              return;
          lock.unlock();
          QFontDatabase::families();
          QImageReader::supportedImageFormats();
      })
{
}

FontWarmUp::~FontWarmUp()
{
    wait();
}

void FontWarmUp::applicationReady()
{
    const std::lock_guard lock(mutex_);
    if (next_ == Next::Wait)
        next_ = Next::ReadQtLists;
    changed_.notify_one();
}

void FontWarmUp::wait()
{
    {
        const std::lock_guard lock(mutex_);
        if (next_ == Next::Wait)
            next_ = Next::Stop;
        changed_.notify_one();
    }
    if (thread_.joinable())
        thread_.join();
}
