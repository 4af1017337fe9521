#pragma once

#include <thread>

// Reads the font configuration on a thread of its own while the program
// connects to the display and checks its settings. The first widget with
// text needs it, and reading it is the largest single cost before the
// window's first paint.
class FontWarmUp {
public:
    FontWarmUp();
    // Waits for it.
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // Waits for it, so that the window does not read the same files again
    // meanwhile.
    void wait();

private:
    std::thread thread_;
};
