#include "errors.h"
#include "settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void truth_data();
    void truth();
    void defaultsComeBackAsText_data();
    void defaultsComeBackAsText();
    void emptyTextIsNotAbsent();
    void writesLandOnDiskUnderTheSection();
    void damagedStoreGivesDefaults();
    void failedWriteIsReported();

private:
    QTemporaryDir dir_;
};

void SettingsTest::truth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 type mismatch
    QTest::newRow("True") << "True" << 1;
    QTest::newRow("false any case") << "fAlSe" << 0;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("minus one") << "-1" << 1;
    QTest::newRow("fraction") << "0.5" << 1;
    QTest::newRow("word") << "maybe" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("yes is no truth word") << "Yes" << -1;
}

void SettingsTest::truth()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    if (expected < 0) {
        try {
            ToTruth(text);
            QFAIL("must not convert");
        } catch (const TarnwickError& e) {
            QCOMPARE(e.description(), QString("Type mismatch"));
        }
    } else {
        QCOMPARE(ToTruth(text), expected == 1);
    }
}

void SettingsTest::defaultsComeBackAsText_data()
{
    QTest::addColumn<QVariant>("fallback");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one") << QVariant(1) << "1";
    QTest::newRow("zero") << QVariant(0) << "0";
    QTest::newRow("false") << QVariant(false) << "False";
    QTest::newRow("star") << QVariant("*") << "*";
    QTest::newRow("empty") << QVariant("") << "";
}

void SettingsTest::defaultsComeBackAsText()
{
    QFETCH(QVariant, fallback);
    QFETCH(QString, expected);
    SettingsStore store(dir_.filePath("defaults.conf"));
    QCOMPARE(store.GetSetting("Never", fallback), expected);
}

void SettingsTest::emptyTextIsNotAbsent()
{
    SettingsStore store(dir_.filePath("empty.conf"));
    store.SaveSetting("Text1", "");
    QCOMPARE(store.GetSetting("Text1", "/home/ann/Desktop/"), QString(""));
}

void SettingsTest::writesLandOnDiskUnderTheSection()
{
    const QString file = dir_.filePath("Velmora/Tarnwick.conf");
    SettingsStore store(file);
    const QString odd = "/data/Ünïcode, \"quoted\" ;=[x]/";
    store.SaveSetting("Text1", odd);
    store.SaveSetting("Option1", "True");
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    QVERIFY(content.startsWith("[Tarnwick]"));
    QVERIFY(content.contains("Option1=True"));
    // A second store on the same file reads it back unchanged.
    QCOMPARE(SettingsStore(file).GetSetting("Text1", ""), odd);
}

void SettingsTest::damagedStoreGivesDefaults()
{
    const QString file = dir_.filePath("damaged.conf");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Tarnwick]\nText1=\"unterminated\n\x01\x02\xff\xfe[[[\n");
    f.close();
    SettingsStore store(file);
    QCOMPARE(store.GetSetting("Option1", 1), QString("1"));
}

void SettingsTest::failedWriteIsReported()
{
    // A file where a folder should be: the store can be neither read nor
    // written.
    QFile blocker(dir_.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(dir_.filePath("blocker/Tarnwick.conf"));
    QCOMPARE(store.GetSetting("Text1", "fallback"), QString("fallback"));
    try {
        store.SaveSetting("Text1", "x");
        QFAIL("the write must fail");
    } catch (const TarnwickError& e) {
        QVERIFY(e.description().contains("Text1"));
        QVERIFY(e.description().contains(store.fileName()));
    }
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
