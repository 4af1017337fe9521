#include "commandline.h"
#include "fileattributes.h"
#include "filelistmodel.h"
#include "windowharness.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTreeView>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void click(Form1& w, const char* button)
{
    WindowHarness::child<QPushButton>(w, button)->click();
}

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
}

const QString NotAdded = "These %1 not added, because their names are not valid UTF-8 and "
                         "cannot be opened by name here:\r\r%2\r\rRename them to add them.";
} // namespace

// The four ways of filling the list, through the real window.
class FillingTest : public QObject {
    Q_OBJECT

private slots:
    void openFileDialog_data();
    void openFileDialog();
    void tooManyFiles();
    void folderScanDialogs_data();
    void folderScanDialogs();
    void dropMixedFilesAndFolders_data();
    void dropMixedFilesAndFolders();
    void dragOfTextIsRefused();
    void namesNotValidUtf8AreTold_data();
    void namesNotValidUtf8AreTold();
    void commandLineNamesNotValidUtf8();
    void samplesAcrossTwoStarts_data();
    void samplesAcrossTwoStarts();
};

void FillingTest::openFileDialog_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("cancel") << QStringList{} << QStringList{};
    QTest::newRow("one file, as it comes")
        << QStringList{"/data//in/a.ods"} << QStringList{"/data//in/a.ods"};
    QTest::newRow("several") << QStringList{"/data/in/a.ods", "/data/in/b.txt"}
                             << QStringList{"/data/in/a.ods", "/data/in/b.txt"};
    QTest::newRow("several in the root")
        << QStringList{"/a.ods", "/b.ods"} << QStringList{"/a.ods", "/b.ods"};
    QTest::newRow("one typed from another folder")
        << QStringList{"/data/in/a.ods", "/elsewhere/b.ods"}
        << QStringList{"/data/in/a.ods", "/elsewhere/b.ods"};
    QTest::newRow("one from a sub-folder")
        << QStringList{"/data/in/a.ods", "/data/in/sub/c.ods", "/data/in/d.ods"}
        << QStringList{"/data/in/a.ods", "/data/in/sub/c.ods", "/data/in/d.ods"};
}

void FillingTest::openFileDialog()
{
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, rows);
    WindowHarness h;
    auto w = h.start();
    w->fileList().AppendFileRow("/data/in/a.ods"); // a duplicate is added again
    h.dialogs.fileSelections.enqueue(chosen);
    click(*w, "PushButton1");
    QCOMPARE(WindowHarness::rows(*w), QStringList{"/data/in/a.ods"} + rows);
    QCOMPARE(h.dialogs.fileRequests.size(), 1);
    const OpenFileRequest& request = h.dialogs.fileRequests[0];
    QCOMPARE(request.title, QString("Add File(s) - Use Ctrl & Shift to select multiple files"));
    QCOMPARE(request.filters,
             (QStringList{"Calc Spreadsheets (*.ods *.ots *.sxc *.stc)", "All Files (*)"}));
    QVERIFY(request.multiSelect);
    QVERIFY(h.dialogs.shown.isEmpty());
}

void FillingTest::tooManyFiles()
{
    WindowHarness h;
    auto w = h.start();
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << QString("/data/in/a-rather-long-file-name-number-%1.ods").arg(i);
    h.dialogs.fileSelections.enqueue(many);
    click(*w, "PushButton1");
    QCOMPARE(w->fileList().count(), 0);
    QCOMPARE(h.dialogs.texts(), QStringList{"You've selected too many files to add.\r\rPlease "
                                            "try adding via the \"Add All\" button."});
    QCOMPARE(h.dialogs.shown[0].caption, QString("Tarnwick"));
    QCOMPARE(h.dialogs.shown[0].icon, MessageIcon::None);
}

void FillingTest::folderScanDialogs_data()
{
    QTest::addColumn<QString>("answer"); // "" cancels
    QTest::addColumn<QString>("folder"); // "" cancels, else relative to the tree
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("extension");  // stored afterwards
    QTest::addColumn<QString>("lastFolder"); // stored afterwards
    QTest::newRow("cancelled answer") << ""
                                      << "tree" << QStringList{} << "prev"
                                      << "/prev";
    QTest::newRow("cancelled folder") << "ods"
                                      << "" << QStringList{} << "ods"
                                      << "/prev";
    QTest::newRow("ods") << "ods"
                         << "tree"
                         << QStringList{"tree/a.ods", "tree/Q2.ods", "tree/q10.ods",
                                        "tree/sub/b.ODS"}
                         << "ods"
                         << "tree";
    QTest::newRow("all") << "*"
                         << "tree"
                         << QStringList{"tree/a.ods", "tree/c.txt", "tree/Q2.ods", "tree/q10.ods",
                                        "tree/sub/b.ODS"}
                         << "*"
                         << "tree";
    QTest::newRow("leading dot typed")
        << ".ods"
        << "tree" << QStringList{"tree/a.ods", "tree/Q2.ods", "tree/q10.ods", "tree/sub/b.ODS"}
        << ".ods"
        << "tree";
}

void FillingTest::folderScanDialogs()
{
    QFETCH(QString, answer);
    QFETCH(QString, folder);
    QFETCH(QStringList, rows);
    QFETCH(QString, extension);
    QFETCH(QString, lastFolder);
    WindowHarness h;
    const QString tree = h.dir.filePath("tree");
    touch(tree + "/a.ods");
    touch(tree + "/c.txt");
    touch(tree + "/sub/b.ODS");
    touch(tree + "/q10.ods");
    touch(tree + "/Q2.ods");
    h.settings.SaveSetting(Setting::Extension, "prev");
    h.settings.SaveSetting(Setting::LastFolder, "/prev");
    auto w = h.start();
    h.dialogs.inputs.enqueue(answer);
    h.dialogs.folders.enqueue(folder.isEmpty() ? QString() : h.dir.filePath(folder));
    click(*w, "PushButton4");

    QCOMPARE(h.dialogs.asked.size(), 1);
    QCOMPARE(h.dialogs.asked[0].prompt,
             QString("Enter file extension to load:\r\r(* for all files, txt for all txt files, "
                     "doc for all doc files, etc.)"));
    QCOMPARE(h.dialogs.asked[0].title, QString("Tarnwick"));
    QCOMPARE(h.dialogs.asked[0].defaultText, QString("prev"));
    if (!answer.isEmpty()) {
        QCOMPARE(h.dialogs.browsed.size(), 1);
        QCOMPARE(h.dialogs.browsed[0].prompt, QString("Please select folder:"));
        QCOMPARE(h.dialogs.browsed[0].defaultText, QString("/prev"));
    }
    QStringList expected;
    for (const QString& row : rows)
        expected << h.dir.filePath(row);
    QCOMPARE(WindowHarness::rows(*w), expected);
    QCOMPARE(h.settings.GetSetting(Setting::Extension, ""), extension);
    QCOMPARE(h.settings.GetSetting(Setting::LastFolder, ""),
             lastFolder.startsWith('/') ? lastFolder : h.dir.filePath(lastFolder));
    QCOMPARE(w->pointer(), Pointer::Default);
    QVERIFY(h.dialogs.shown.isEmpty());
}

void FillingTest::dropMixedFilesAndFolders_data()
{
    // What the source allows, the keys held (Shift proposes a move), and
    // the action taken; none when the drop is refused.
    QTest::addColumn<Qt::DropActions>("possible");
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<Qt::DropAction>("taken");
    QTest::newRow("copy") << Qt::DropActions(Qt::CopyAction) << Qt::KeyboardModifiers()
                          << Qt::CopyAction;
    QTest::newRow("move proposed, copy taken")
        << (Qt::CopyAction | Qt::MoveAction) << Qt::KeyboardModifiers(Qt::ShiftModifier)
        << Qt::CopyAction;
    QTest::newRow("link") << Qt::DropActions(Qt::LinkAction) << Qt::KeyboardModifiers()
                          << Qt::LinkAction;
    QTest::newRow("move only, refused")
        << Qt::DropActions(Qt::MoveAction) << Qt::KeyboardModifiers() << Qt::IgnoreAction;
}

void FillingTest::dropMixedFilesAndFolders()
{
    QFETCH(Qt::DropActions, possible);
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(Qt::DropAction, taken);
    WindowHarness h;
    touch(h.dir.filePath("one/x.ods"));
    touch(h.dir.filePath("one/~x.ods"));
    touch(h.dir.filePath("one/deep/y.png"));
    touch(h.dir.filePath("two/z.ods"));
    touch(h.dir.filePath("picture.png"));
    auto w = h.start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(h.dir.filePath("picture.png")),
                  QUrl::fromLocalFile(h.dir.filePath("one")),
                  QUrl::fromLocalFile(h.dir.filePath("vanished.ods")),
                  QUrl::fromLocalFile(h.dir.filePath("two")),
                  QUrl::fromLocalFile(h.dir.filePath("picture.png"))});
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QCOMPARE(enter.isAccepted(), taken != Qt::IgnoreAction);
    QDropEvent drop(at, possible, &data, Qt::LeftButton, keys);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    if (taken == Qt::IgnoreAction) {
        QVERIFY(!drop.isAccepted());
        QCOMPARE(w->fileList().count(), 0);
        return;
    }
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), taken);
    QCOMPARE(WindowHarness::rows(*w),
             (QStringList{h.dir.filePath("picture.png"), h.dir.filePath("one/x.ods"),
                          h.dir.filePath("one/deep/y.png"), h.dir.filePath("two/z.ods"),
                          h.dir.filePath("picture.png")}));
    QVERIFY(h.dialogs.shown.isEmpty());
}

void FillingTest::dragOfTextIsRefused()
{
    WindowHarness h;
    auto w = h.start();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");
    QMimeData data;
    data.setText("/tmp/a.ods");
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(list->viewport(), &drop);
    QCOMPARE(w->fileList().count(), 0);
}

void FillingTest::namesNotValidUtf8AreTold_data()
{
    // one/ and two/ are scanned, and one/a.ods is always added.
    // Typed for "Add All"; empty: a drop of the folders; "files": a file
    // manager's drop of a.ods and the first made.
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QByteArrayList>("made"); // by their bytes; a folder ends in "/"
    QTest::addColumn<QString>("told");        // "@" stands for the tree
    QTest::newRow("Add All: only what matches")
        << "ods" << QByteArrayList{"one/\xff\xfe.ods", "one/\xff.txt", "one/~\xff.ods"}
        << NotAdded.arg("files were", "@/one/\\xFF\\xFE.ods");
    QTest::newRow("drop of two folders: one message")
        << "" << QByteArrayList{"one/\xff\xfe.ods", "two/d\xe9/"}
        << NotAdded.arg("files and folders were", "@/one/\\xFF\\xFE.ods\r@/two/d\\xE9/");
    QTest::newRow("drop of files") << "files" << QByteArrayList{"one/\xff\xfe.ods"}
                                   << NotAdded.arg("files were", "@/one/\\xFF\\xFE.ods");
}

void FillingTest::namesNotValidUtf8AreTold()
{
    QFETCH(QString, extension);
    QFETCH(QByteArrayList, made);
    QFETCH(QString, told);
    WindowHarness h;
    const QString tree = h.dir.filePath("tree");
    touch(tree + "/one/a.ods");
    QDir().mkpath(tree + "/two");
    const QByteArray base = QFile::encodeName(tree) + "/";
    for (const QByteArray& path : made)
        path.endsWith('/') ? ::mkdir(base + path, 0700) : ::close(::creat(base + path, 0600));
    // QDir cannot remove them.
    const auto remove = qScopeGuard([&] {
        for (const QByteArray& path : made)
            path.endsWith('/') ? ::rmdir(base + path) : ::unlink(base + path);
    });
    auto w = h.start();
    if (extension == "files") {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        auto* list = WindowHarness::child<QTreeView>(*w, "ListView1");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(tree + "/one/a.ods"),
                      QUrl::fromEncoded("file://" + (base + made[0]).toPercentEncoding("/"))});
        const QPoint at = list->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(list->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(list->viewport(), &drop);
    } else if (extension.isEmpty()) {
        w->ListView1_OLEDragDrop({tree + "/one", tree + "/two"});
    } else {
        h.dialogs.inputs.enqueue(extension);
        h.dialogs.folders.enqueue(tree + "/one");
        click(*w, "PushButton4");
    }

    QCOMPARE(WindowHarness::rows(*w), QStringList{tree + "/one/a.ods"});
    QCOMPARE(h.dialogs.texts(), QStringList{told.replace("@", tree)});
    QCOMPARE(h.dialogs.shown[0].caption, QString("Tarnwick"));
    QCOMPARE(h.dialogs.shown[0].buttons, MessageButtons::Ok);
    QCOMPARE(h.dialogs.shown[0].icon, MessageIcon::None);
}

void FillingTest::commandLineNamesNotValidUtf8()
{
    // `tarnwick FILE...`: such a name is kept aside, to be told; a Qt
    // option's value is no file.
    QByteArrayList given{"tarnwick", "a.ods", "\xff.ods", "-title", "\xfe", "--", "-\xfd"};
    QList<char*> argv;
    for (QByteArray& argument : given)
        argv << argument.data();
    const CommandLine line = ParseCommandLine(ProgramArguments(argv.size(), argv.data()), "/work",
                                              UnrepresentableArguments(argv.size(), argv.data()));
    QCOMPARE(line.files, QStringList{"/work/a.ods"});
    QCOMPARE(line.unrepresentable, (QStringList{"/work/\\xFF.ods", "/work/-\\xFD"}));
}

void FillingTest::samplesAcrossTwoStarts_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::newRow("plain") << "program";
    QTest::newRow("with a bar") << "x|y";
}

void FillingTest::samplesAcrossTwoStarts()
{
    QFETCH(QString, programFolder);
    WindowHarness h;
    h.programDir = h.dir.filePath(programFolder);
    const auto record = [&h] {
        return h.settings.GetSetting(Setting::Snapshot, "").split(QChar(0), Qt::SkipEmptyParts);
    };
    const QString samples = h.programDir + "/Samples";
    for (const char* name : {"one 10.ods", "One 9.ods", "two.ods"})
        touch(samples + "/" + name);
    QDir(samples).mkdir("subfolder");
    QStringList recorded;
    {
        auto w = h.start();
        recorded = record();
        QCOMPARE(recorded, (QStringList{samples + "/One 9.ods", samples + "/one 10.ods",
                                        samples + "/two.ods"}));
        h.dialogs.answers.enqueue(MessageAnswer::No);
        click(*w, "PushButton9");
        QCOMPARE(WindowHarness::rows(*w), recorded);
    }
    // A later start keeps the record, even after the folder changed.
    touch(samples + "/four.ods");
    QFile::remove(recorded[1]);
    auto w = h.start();
    QCOMPARE(record(), recorded);
    w->fileList().AppendFileRow(recorded[0]);
    w->fileList().AppendFileRow(recorded[2].toUpper()); // case differs: not the same row
    h.dialogs.answers.enqueue(MessageAnswer::Yes);
    click(*w, "PushButton9");
    QCOMPARE(WindowHarness::rows(*w),
             (QStringList{recorded[0], recorded[2].toUpper(), recorded[2]}));
    h.dialogs.answers.enqueue(MessageAnswer::No);
    click(*w, "PushButton9"); // nothing new, but the question again
    QCOMPARE(w->fileList().count(), 3);

    const QString question = "Would you like this software to open the folder where these sample "
                             "files are stored (so that you can view them before working with "
                             "them)?";
    QCOMPARE(h.dialogs.texts(), (QStringList{question, question, question}));
    QCOMPARE(h.dialogs.shown[1].buttons, MessageButtons::YesNo);
    QCOMPARE(h.dialogs.opened, QList<QUrl>{QUrl::fromLocalFile(samples + "/")});

    // The program moved: none of the recorded files is there any more, so
    // the samples beside the program where it is now count.
    QVERIFY(QDir(h.programDir).rename(h.programDir, h.dir.filePath("moved")));
    h.programDir = h.dir.filePath("moved");
    auto moved = h.start();
    h.dialogs.answers.enqueue(MessageAnswer::No);
    click(*moved, "PushButton9");
    const QString now = h.programDir + "/Samples/";
    QCOMPARE(WindowHarness::rows(*moved),
             (QStringList{now + "four.ods", now + "One 9.ods", now + "two.ods"}));
    QCOMPARE(record(), WindowHarness::rows(*moved));

    // The "|"-joined record of earlier versions still reads.
    const QStringList older = record().mid(1);
    h.settings.SaveSetting(Setting::Snapshot, older.join('|'));
    moved->fileList().clear();
    h.dialogs.answers.enqueue(MessageAnswer::No);
    click(*moved, "PushButton9");
    QCOMPARE(WindowHarness::rows(*moved), older);
}

QTEST_MAIN(FillingTest)
#include "tst_filling.moc"
