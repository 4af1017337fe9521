// Starts the program under an X server, waits for its window and saves a
// picture of it: xvfb-run -a tw_screenshot <program> <out.png>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "x11windows.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tw_screenshot <program> <out.png>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 3;
    QTemporaryDir home;
    const QProcessEnvironment env = x11::programEnvironment(home);
    // A tidy desktop folder for the output-folder box.
    QDir().mkpath(home.filePath("config"));
    QFile dirs(home.filePath("config/user-dirs.dirs"));
    if (dirs.open(QIODevice::WriteOnly))
        dirs.write("XDG_DESKTOP_DIR=\"/home/ann/Desktop\"\n");
    dirs.close();
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(QString::fromLocal8Bit(argv[1]), {});
    Window window = 0;
    QDeadlineTimer deadline(30000);
    while (!(window = x11::findMappedWindow(display, "Tarnwick")) && !deadline.hasExpired())
        QThread::msleep(50);
    if (!window)
        return 4;
    QThread::msleep(1500); // let it paint
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    XImage* shot =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    QImage image(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            image.setPixel(x, y, XGetPixel(shot, x, y) | 0xff000000u);
    XDestroyImage(shot);
    tool.terminate();
    tool.waitForFinished(10000);
    return image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 5;
}
