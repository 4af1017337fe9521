#include "exitsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but a global; it only writes here.
volatile std::sig_atomic_t g_writeEnd = -1;

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto written = ::write(g_writeEnd, &number, 1);
    errno = saved;
}

} // namespace

ExitSignals::ExitSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("cannot make the signal pipe");
    readEnd_ = UniqueFd(fds[0]);
    writeEnd_ = UniqueFd(fds[1]);
    notifier_ = new QSocketNotifier(readEnd_.get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::readSignals);
    g_writeEnd = writeEnd_.get();
    struct sigaction action {};
    action.sa_handler = ::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled)
        ::sigaction(signal, &action, nullptr);
}

ExitSignals::~ExitSignals()
{
    for (const int signal : Handled)
        std::signal(signal, SIG_DFL);
    g_writeEnd = -1;
}

void ExitSignals::readSignals()
{
    unsigned char number = 0;
    while (::read(readEnd_.get(), &number, 1) == 1)
        onSignal_(number);
}
