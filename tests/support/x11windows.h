#pragma once

// Starting the real program on an X server, finding its top-level window and
// closing it, for the tests and benchmarks that run under xvfb-run.
#include <QDir>
#include <QFile>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <sys/types.h>

namespace x11 {

// The title that window managers show: _NET_WM_NAME, else WM_NAME.
inline QString windowTitle(Display* display, Window window)
{
    QString title;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data && type == utf8)
        title = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(count));
    if (data)
        XFree(data);
    if (!title.isEmpty())
        return title;
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name)
        title = QString::fromUtf8(name);
    if (name)
        XFree(name);
    return title;
}

// Windows may vanish while they are looked at: their errors are ignored.
inline int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// A window's list property of 32-bit items (atoms, windows).
inline QList<unsigned long> listProperty(Display* display, Window window, const char* name,
                                         Atom type)
{
    QList<unsigned long> items;
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data && format == 32)
        for (unsigned long i = 0; i < count; ++i)
            items << reinterpret_cast<unsigned long*>(data)[i];
    if (data)
        XFree(data);
    return items;
}

// The mapped top-level window with that title, other than `except`, or 0.
// A window manager keeps the top-level windows in its frames and lists them
// on the root.
inline Window findMappedWindow(Display* display, const QString& title, Window except = 0)
{
    const auto previousHandler = XSetErrorHandler(ignoreXError);
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr, found = 0;
    unsigned int count = 0;
    QList<unsigned long> candidates = listProperty(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        candidates.append(QList<unsigned long>(children, children + count));
        XFree(children);
    }
    for (qsizetype i = 0; i < candidates.size() && !found; ++i) {
        XWindowAttributes attributes;
        if (candidates[i] != except && windowTitle(display, candidates[i]) == title &&
            XGetWindowAttributes(display, candidates[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = candidates[i];
    }
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    return found;
}

// A window's 32-bit property (its first item), or 0 when it has none.
inline unsigned long cardinalProperty(Display* display, Window window, const char* name, Atom type)
{
    const QList<unsigned long> items = listProperty(display, window, name, type);
    return items.isEmpty() ? 0 : items.first();
}

// The process that made the window, as it says itself.
inline pid_t windowPid(Display* display, Window window)
{
    return static_cast<pid_t>(cardinalProperty(display, window, "_NET_WM_PID", XA_CARDINAL));
}

// True for a dialog (a message box), false for a main window.
inline bool isDialog(Display* display, Window window)
{
    return cardinalProperty(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM) ==
           XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
}

// A left click at (x, y) inside the window, with the real pointer.
inline void click(Display* display, Window window, int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
}

// Sends a 32-bit client message about `window` to `target`.
inline void sendClientMessage(Display* display, Window target, Window window, const char* type,
                              long first, long second, long mask)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    XSendEvent(display, target, False, mask, &event);
    XFlush(display);
}

// Asks the window manager to activate the window, as a taskbar does (2: the
// request comes from the user).
inline void activate(Display* display, Window window)
{
    sendClientMessage(display, DefaultRootWindow(display), window, "_NET_ACTIVE_WINDOW", 2, 0,
                      SubstructureRedirectMask | SubstructureNotifyMask);
}

// Asks the window to close, as a window manager's close button does.
inline void closeWindow(Display* display, Window window)
{
    sendClientMessage(display, window, window, "WM_PROTOCOLS",
                      static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False)),
                      CurrentTime, NoEventMask);
}

// The environment for starting the real program with a home of its own, so
// that its settings and office profile stay in `home`.
inline QProcessEnvironment programEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_CACHE_HOME", home.filePath("cache"));
    // The runtime folder holds the socket that later starts hand their files
    // to; in the home it goes away with it.
    const QString runtime = home.filePath("runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.remove("QT_QPA_PLATFORM");
    // No notification or taskbar update reaches the desktop the tests run on.
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    return env;
}

} // namespace x11
