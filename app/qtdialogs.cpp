#include "qtdialogs.h"

#include <QDesktopServices>
#include <QDir>
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

MessageAnswer QtDialogs::message(const QString& text, const QString& caption,
                                 MessageButtons buttons, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, ShownLineBreaks(text),
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    parent_);
    switch (box.exec()) {
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
