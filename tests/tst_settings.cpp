#include "errors.h"
#include "settingsstore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(SettingKey)

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void truth_data();
    void truth();
    void keysAndDefaults_data();
    void keysAndDefaults();
    void emptyTextIsNotAbsent();
    void writesLandOnDiskUnderTheSection();
    void damagedStoreGivesDefaults_data();
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

void SettingsTest::keysAndDefaults_data()
{
    // The names and texts that users' settings files already hold.
    QTest::addColumn<SettingKey>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("absent");
    QTest::newRow("Text1") << Setting::Text1 << "Text1"
                           << "";
    QTest::newRow("Option1") << Setting::Option1 << "Option1"
                             << "1";
    QTest::newRow("Option2") << Setting::Option2 << "Option2"
                             << "0";
    QTest::newRow("LastFolderDot") << Setting::LastFolderDot << "LastFolderDot"
                                   << "";
    QTest::newRow("LastFolder") << Setting::LastFolder << "LastFolder"
                                << "";
    QTest::newRow("Extension") << Setting::Extension << "Extension"
                               << "*";
    QTest::newRow("Snapshot") << Setting::Snapshot << "Snapshot"
                              << "";
}

void SettingsTest::keysAndDefaults()
{
    QFETCH(SettingKey, key);
    QFETCH(QString, name);
    QFETCH(QString, absent);
    const QString file = dir_.filePath(name + ".conf");
    SettingsStore store(file);
    QCOMPARE(store.GetSetting(key), absent);
    store.SaveSetting(key, "stored");
    QCOMPARE(QSettings(file, QSettings::IniFormat).value("Tarnwick/" + name).toString(),
             QString("stored"));
}

void SettingsTest::emptyTextIsNotAbsent()
{
    SettingsStore store(dir_.filePath("empty.conf"));
    store.SaveSetting(Setting::Text1, "");
    QCOMPARE(store.GetSetting(Setting::Text1, "/home/ann/Desktop/"), QString(""));
}

void SettingsTest::writesLandOnDiskUnderTheSection()
{
    const QString file = dir_.filePath("Velmora/Tarnwick.conf");
    SettingsStore store(file);
    const QString odd = "/data/Ünïcode, \"quoted\" ;=[x]/";
    store.SaveSetting(Setting::Text1, odd);
    store.SaveSetting(Setting::Option1, "True");
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    QVERIFY(content.startsWith("[Tarnwick]"));
    QVERIFY(content.contains("Option1=True"));
    // A second store on the same file reads it back unchanged.
    QCOMPARE(SettingsStore(file).GetSetting(Setting::Text1, ""), odd);
}

void SettingsTest::damagedStoreGivesDefaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("unterminated quote") << QByteArray("[Tarnwick]\nText1=\"unterminated\n\x01\x02");
    QTest::newRow("binary garbage") << QByteArray("\xff\xfe\x00\x01[[[\x00=\x80\n\x7f", 13);
}

void SettingsTest::damagedStoreGivesDefaults()
{
    // The defaults are read from it, and the first save replaces it without
    // a report of failure.
    QFETCH(QByteArray, content);
    const QString file = dir_.filePath(QTest::currentDataTag());
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    SettingsStore store(file);
    QCOMPARE(store.GetSetting(Setting::Option1), QString("1"));
    store.SaveSetting(Setting::Snapshot, "/p/a.ods|/p/b.ods");
    QCOMPARE(SettingsStore(file).GetSetting(Setting::Snapshot), QString("/p/a.ods|/p/b.ods"));
}

void SettingsTest::failedWriteIsReported()
{
    // A file where a folder should be: the store can be neither read nor
    // written.
    QFile blocker(dir_.filePath("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(dir_.filePath("blocker/Tarnwick.conf"));
    QCOMPARE(store.GetSetting(Setting::Text1, "fallback"), QString("fallback"));
    try {
        store.SaveSetting(Setting::Text1, "x");
        QFAIL("the write must fail");
    } catch (const TarnwickError& e) {
        QVERIFY(e.description().contains("Text1"));
        QVERIFY(e.description().contains(store.fileName()));
    }
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
