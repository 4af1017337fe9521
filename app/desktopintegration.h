#pragma once

#include "dialogs.h"

#include <QString>

// What a run tells the desktop besides its own window: progress on the
// taskbar entry, a notification at the end, and a call for attention while
// a message waits for the user. The window and its messages stay as they
// are; without a desktop to tell, every call does nothing.
struct RunSummary {
    int files = 0;
    // Files whose PDF was found written.
    int converted = 0;
    // Where the PDFs went: the chosen folder, or the first file's folder
    // when each PDF goes beside its source.
    QString outputFolder;
};

class DesktopIntegration {
public:
    virtual ~DesktopIntegration() = default;
    virtual void runStarted(int files) = 0;
    // `done` of the run's `files` have been worked on.
    virtual void progress(int done, int files) = 0;
    virtual void runEnded(const RunSummary& summary) = 0;
    // A message of the run opens (true) or was answered (false).
    virtual void waitingForUser(bool waiting) = 0;
};

// The run's dialogs: every message tells the desktop that the run waits for
// the user until it is answered; the rest passes through.
class AttentionDialogs final : public Dialogs {
public:
    AttentionDialogs(Dialogs& dialogs, DesktopIntegration& desktop)
        : dialogs_(dialogs), desktop_(desktop)
    {
    }

    MessageAnswer message(const QString& text, const QString& caption, MessageButtons buttons,
                          MessageIcon icon) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override
    {
        return dialogs_.inputBox(prompt, title, defaultText);
    }
    QString openFiles(const OpenFileRequest& request) override
    {
        return dialogs_.openFiles(request);
    }
    QString browseForFolder(const QString& prompt, const QString& initialFolder) override
    {
        return dialogs_.browseForFolder(prompt, initialFolder);
    }
    void openUrl(const QUrl& url) override { dialogs_.openUrl(url); }

private:
    Dialogs& dialogs_;
    DesktopIntegration& desktop_;
};

// For a window that has no desktop to tell (tests that do not look).
class NoDesktop final : public DesktopIntegration {
public:
    void runStarted(int) override {}
    void progress(int, int) override {}
    void runEnded(const RunSummary&) override {}
    void waitingForUser(bool) override {}
};
