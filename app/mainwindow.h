#pragma once

// Tarnwick's one window, Form1. The folders are the architecture; all but
// app/ and the list's widgets are Qt Core only, the headless core that
// `tarnwick --convert` is made of:
//   app/       this window: start-up, layout, output options, event handlers,
//              the run it starts (ConversionRun), the Qt dialogs behind the
//              dialog interface, the program's start and its command line
//   batch/     `tarnwick --convert`: the files it names, N office workers at
//              once, its report
//   convert/   one spreadsheet to one PDF: the per-file steps, the export's
//              records and option table, the output path, the written-PDF
//              check
//   office/    one office worker (a supervised office process, its session
//              and thread, the UNO calls) and every limit of the office
//   filelist/  the folder scan (core), and the list of input files with its
//              view and the ways of filling it (widgets)
//   settings/  the per-user settings store and its one table of keys
//   common/    path helpers, the pause, the clock, the application title,
//              the argument walk, the dialog interface, and the guarded
//              procedures with their error report
// Everything slow, modal or outside the program comes in through AppServices.

#include "services.h"
#include "textprogressbar.h"

#include <QPixmap>
#include <QWidget>

#include <functional>
#include <vector>

class ConversionRun;
class FileListModel;
class FileListView;
class FolderScan;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct SettingKey;

// The main window's pointer states, by their numbers.
enum class Pointer { Default = 0, Busy = 11, Hand = 99 };

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(AppServices services, QWidget* parent = nullptr);
    ~Form1() override;

    // The load step. False when the program must end without showing the
    // window (no office suite).
    bool Form_Load();

    Pointer pointer() const { return pointer_; }
    void setPointer(Pointer pointer);
    FileListModel& fileList() { return *fileList_; }
    const QPixmap& handPicture() const { return handPicture_; }
    bool conversionRunning() const;

    // Handlers.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton8_Click();
    void PushButton9_Click();
    void ListView1_OLEDragDrop(const QStringList& paths);
    void ListView1_ItemClick();
    // The reordering move; true when the move was used for it.
    bool ListView1_MouseMove(const QPoint& at);
    void Option_Click();
    void Text1_Change();
    void RemoveSelectedRow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Runs `job` once the window's first paint is on the screen.
    void afterFirstPaint(std::function<void()> job);
    void buildLayout();
    void describeForScreenReaders();
    void connectHandlers();
    void setUpPointerFeedback();
    enum class Surface { Button, Plain, Inert };
    Surface surfaceAt(QWidget* watched, const QPoint& at) const;
    void ApplySkin();
    void setRadio(QRadioButton* radio, bool on);
    // Saves a setting from a handler that has no error report of its own.
    void saveFromHandler(const SettingKey& key, const QString& text);
    FolderScan makeFolderScan();
    void setUpRun();

    AppServices services_;
    Pointer pointer_ = Pointer::Default;
    QPixmap handPicture_;
    QPoint handHotspot_;
    bool centred_ = false;
    bool painted_ = false;
    std::vector<std::function<void()>> afterFirstPaint_;
    bool warnedAboutSettings_ = false;

    FileListModel* fileList_;
    FileListView* ListView1;
    TextProgressBar* ProgressBar1;
    QPushButton* PushButton1;
    QPushButton* PushButton4;
    QPushButton* PushButton2;
    QPushButton* PushButton8;
    QPushButton* PushButton9;
    QGroupBox* Frame3;
    QFrame* Frame4;
    QLineEdit* Text1;
    QPushButton* PushButton3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    ConversionRun* run_;
};
