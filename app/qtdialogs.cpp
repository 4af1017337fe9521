#include "qtdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QString ShownLineBreaks(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

namespace {
// The user's input reaches no other window of the program while `box` is
// open, as with a modal box: a modal window asks the window manager to
// activate it as it is shown, which takes the keyboard from the window
// the user works in.
class InputOnlyTo final : public QObject {
public:
    explicit InputOnlyTo(QWidget* box) : box_(box) { qApp->installEventFilter(this); }
    ~InputOnlyTo() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::Close: {
            const auto* widget = qobject_cast<QWidget*>(watched);
            return widget && widget->window() != box_;
        }
        default:
            return false;
        }
    }

private:
    QWidget* box_;
};

// Shows the box without activating it and waits for its answer; once the
// user comes back to the program, the box takes the keyboard.
int waitInTheBackground(QMessageBox& box)
{
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    box.setWindowModality(Qt::NonModal);
    const InputOnlyTo onlyTheBox(&box);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &box,
                     [&box](Qt::ApplicationState state) {
                         if (state == Qt::ApplicationActive)
                             box.activateWindow();
                     });
    box.show();
    loop.exec();
    return box.standardButton(box.clickedButton());
}
} // namespace

MessageAnswer QtDialogs::message(const QString& text, const QString& caption,
                                 MessageButtons buttons, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, ShownLineBreaks(text),
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    parent_);
    // A message that comes while the user works in another window waits
    // there without taking the keyboard: an Enter meant for that window
    // must not answer it. The window asks for attention meanwhile. Before
    // the window is shown (the start's question and reports) the user is
    // waiting for the program: the box comes to the front.
    const bool userAway = parent_ && parent_->isVisible() && !QApplication::activeWindow();
    const int answer = userAway ? waitInTheBackground(box) : box.exec();
    switch (answer) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Ok;
    }
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title, ShownLineBreaks(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::openFiles(const OpenFileRequest& request)
{
    const QString filter = request.filters.join(QStringLiteral(";;"));
    QStringList chosen;
    if (request.multiSelect) {
        chosen = QFileDialog::getOpenFileNames(parent_, request.title, QString(), filter);
    } else {
        const QString one = QFileDialog::getOpenFileName(parent_, request.title, QString(), filter);
        if (!one.isEmpty())
            chosen << one;
    }
    return OpenFileDialogText(chosen);
}

QString QtDialogs::browseForFolder(const QString& prompt, const QString& initialFolder)
{
    const QString chosen = QFileDialog::getExistingDirectory(
        parent_, ShownLineBreaks(prompt), initialFolder, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return QString();
    const QString native = QDir::toNativeSeparators(chosen);
    return native.size() > 1 && native.endsWith(QDir::separator()) ? native.chopped(1) : native;
}

void QtDialogs::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
