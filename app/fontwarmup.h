#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Prepares on a thread of its own what the window's first paint needs and
// does not depend on the window: first the font configuration, while the
// program connects to the display; then, once the application object
// exists, Qt's font list and its list of picture formats (the group box's
// frame is a picture), while the main thread checks its settings and
// builds the window. Qt guards both lists, so the main thread only waits
// where it would otherwise do the same work itself.
class FontWarmUp {
public:
    FontWarmUp();
    // Waits for the thread; what it has not begun is left out.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // The application object exists: Qt's lists may be read.
    void applicationReady();
    // Waits for the thread, which must end before the application object.
    void wait();

private:
    enum class Next { Wait, ReadQtLists, Stop };
    std::mutex mutex_;
    std::condition_variable changed_;
    Next next_ = Next::Wait;
    std::thread thread_;
};
