#include "mainwindow.h"

#include "enterpressesbuttons.h"
#include "filelistmodel.h"
#include "filelistview.h"
#include "folderscan.h"
#include "textprogressbar.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {
// The layout is given in twips; 15 twips make a pixel at normal density.
int px(int twips)
{
    return qRound(twips / 15.0);
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

template <class W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// One fixed light palette for the whole window: every background it paints
// comes with its own dark text, so that a dark desktop colour scheme cannot
// put light text on the window's white.
QPalette WindowPalette()
{
    const QColor white(Qt::white), black(Qt::black), grey(0x6d, 0x6d, 0x6d);
    QPalette p;
    for (QPalette::ColorRole role :
         {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Light, QPalette::BrightText,
          QPalette::HighlightedText})
        p.setColor(role, white);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText})
        p.setColor(role, black);
    p.setColor(QPalette::Midlight, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Mid, QColor(0xc0, 0xc0, 0xc0));
    p.setColor(QPalette::Dark, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Shadow, QColor(0x69, 0x69, 0x69));
    p.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf5));
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
    p.setColor(QPalette::Highlight, QColor(0x00, 0x63, 0xb1));
    p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
    p.setColor(QPalette::PlaceholderText, grey);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, grey);
    p.setColor(QPalette::Disabled, QPalette::Highlight, grey);
    return p;
}
// Qt exposes a plain widget as a filler and a plain frame as a window (a
// "frame" on AT-SPI): screen readers then miss the main window and announce
// a second window inside it. The roles are said here instead.
QAccessibleInterface* MainWindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("Form1"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("QFrame") && object->objectName() == QLatin1String("Frame4"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}
} // namespace

Form1::Form1(AppServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    buildLayout();
    setUpRun();
    connectHandlers();
    setUpPointerFeedback();
}

Form1::~Form1() = default;

void Form1::buildLayout()
{
    setFixedSize(px(8040), px(6690));
    setPalette(WindowPalette());
    setAutoFillBackground(true);
    setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPointSizeF(11.25);
    buttonFont.setBold(true);

    fileList_ = new FileListModel(this);
    ListView1 = named(new FileListView(this), "ListView1");
    ListView1->setFileList(fileList_);
    ListView1->setToolTip(QStringLiteral(
        "Drag and drop files here. Double-click item to remove it. Move | line to right and out "
        "of window to reveal full names."));
    place(ListView1, 120, 120, 7800, 2535);

    ProgressBar1 = named(new TextProgressBar(this), "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QStringLiteral("Progress Bar"));
    ProgressBar1->setAlignment(Qt::AlignCenter);
    ProgressBar1->setTextVisible(true);
    place(ProgressBar1, 120, 6160, 7800, 405);

    auto* enterPresses = new EnterPressesButtons(this);
    auto button = [&](const char* name, const QString& text, QWidget* container) {
        auto* b = named(new QPushButton(text, container), name);
        b->setFont(buttonFont);
        b->setAutoFillBackground(true);
        enterPresses->watch(b);
        return b;
    };
    PushButton1 = button("PushButton1", QStringLiteral("Add ODS File(s)"), this);
    place(PushButton1, 120, 2750, 3840, 405);
    PushButton4 = button("PushButton4", QStringLiteral("Add All File(s) In Folder"), this);
    place(PushButton4, 4080, 2750, 3840, 405);
    PushButton2 = button("PushButton2", QStringLiteral("Start Converting To PDF"), this);
    place(PushButton2, 120, 5640, 7800, 405);
    PushButton8 = button("PushButton8", QStringLiteral("Clear List"), this);
    place(PushButton8, 120, 3260, 3840, 405);
    PushButton9 = button("PushButton9", QStringLiteral("Load Sample/Example Files"), this);
    place(PushButton9, 4080, 3260, 3840, 405);

    Frame3 = named(new QGroupBox(QStringLiteral("Save Option"), this), "Frame3");
    Frame3->setAutoFillBackground(true);
    place(Frame3, 120, 3710, 7800, 1815);
    Frame4 = named(new QFrame(Frame3), "Frame4");
    Frame4->setAutoFillBackground(true);
    place(Frame4, 480, 510, 6840, 810);
    Text1 = named(new QLineEdit(Frame4), "Text1");
    place(Text1, 240, 300, 5670, 345);
    PushButton3 = button("PushButton3", QStringLiteral("..."), Frame4);
    place(PushButton3, 6000, 300, 600, 345);
    Option1 =
        named(new QRadioButton(QStringLiteral("Save results to this folder:"), Frame3), "Option1");
    Option1->setAutoFillBackground(true);
    place(Option1, 240, 300, 3615, 255);
    Option1->setChecked(true);
    Option2 =
        named(new QRadioButton(QStringLiteral("Save results in folder of original file"), Frame3),
              "Option2");
    Option2->setAutoFillBackground(true);
    place(Option2, 240, 1410, 3615, 255);

    describeForScreenReaders();

    QWidget* const order[] = {ListView1,   ProgressBar1, PushButton1, PushButton4, PushButton2,
                              PushButton8, PushButton9,  Frame3,      Frame4,      Text1,
                              PushButton3, Option1,      Option2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// Names for the controls whose text does not say what they are. The
// progress bar names itself after the text it shows.
void Form1::describeForScreenReaders()
{
    static const bool windowRole = (QAccessible::installFactory(MainWindowAccessible), true);
    Q_UNUSED(windowRole);
    ListView1->setAccessibleName(QStringLiteral("Files to convert"));
    ListView1->setAccessibleDescription(
        QStringLiteral("The spreadsheets to convert, in order. Delete removes the selected file."));
    ProgressBar1->setAccessibleDescription(QStringLiteral("Progress of the conversion"));
    Frame3->setAccessibleDescription(QStringLiteral("Where the PDF files are saved"));
    // Unnamed, it would take its group's title and say "Save Option" twice.
    Frame4->setAccessibleName(QStringLiteral("Folder for the results"));
    Text1->setAccessibleName(QStringLiteral("Output folder"));
    Text1->setAccessibleDescription(QStringLiteral("The folder that the PDF files are saved to"));
    PushButton3->setAccessibleName(QStringLiteral("Browse for the output folder"));
}

void Form1::connectHandlers()
{
    connect(PushButton1, &QPushButton::clicked, this, &Form1::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(PushButton4, &QPushButton::clicked, this, &Form1::PushButton4_Click);
    connect(PushButton9, &QPushButton::clicked, this, &Form1::PushButton9_Click);
    connect(PushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form1::PushButton8_Click);
    // A click, also one made with the keyboard's arrow keys.
    for (QRadioButton* option : {Option1, Option2})
        connect(option, &QRadioButton::clicked, this, &Form1::Option_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(ListView1, &FileListView::removeRequested, this, &Form1::RemoveSelectedRow);
    connect(ListView1, &FileListView::filesDropped, this, &Form1::ListView1_OLEDragDrop);
    connect(ListView1, &FileListView::unusableNamesDropped, this,
            [this](const QStringList& names) { TellNotAdded(services_.dialogs, names); });
}

void Form1::setPointer(Pointer pointer)
{
    pointer_ = pointer;
    switch (pointer) {
    case Pointer::Busy:
        setCursor(Qt::WaitCursor);
        break;
    case Pointer::Hand:
        setCursor(handPicture_.isNull()
                      ? QCursor(Qt::PointingHandCursor)
                      : QCursor(handPicture_, handHotspot_.x(), handHotspot_.y()));
        break;
    case Pointer::Default:
        unsetCursor();
        break;
    }
    ListView1->setBusy(pointer == Pointer::Busy);
}

void Form1::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centred_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

void Form1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    painted_ = true;
    // The timer fires once this paint has been flushed to the screen.
    for (auto& job : std::exchange(afterFirstPaint_, {}))
        QTimer::singleShot(0, this, std::move(job));
}

void Form1::afterFirstPaint(std::function<void()> job)
{
    if (painted_)
        QTimer::singleShot(0, this, std::move(job));
    else
        afterFirstPaint_.push_back(std::move(job));
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (services_.endProgram)
        services_.endProgram();
}
