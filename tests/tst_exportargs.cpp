#include "fileurl.h"
#include "pdfexportargs.h"
#include "propertyvalue.h"
#include "unostring.h"

#include <QTest>

using css::uno::Any;
Q_DECLARE_METATYPE(css::uno::Any)
using css::uno::Sequence;

namespace {
QString nameOf(const css::beans::PropertyValue& record)
{
    return toQString(record.Name);
}

QString textOf(const Any& value)
{
    rtl::OUString s;
    if (!(value >>= s))
        return QStringLiteral("<not text>");
    return toQString(s);
}
} // namespace

class ExportArgsTest : public QObject {
    Q_OBJECT

private slots:
    void fileUrl_data();
    void fileUrl();
    void recordKeepsItsType_data();
    void recordKeepsItsType();
    void exportRecords();
};

void ExportArgsTest::fileUrl_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QChar>("sep");
    QTest::addColumn<QString>("url");
    const QChar bs('\\');
    QTest::newRow("windows drive")
        << R"(C:\Data\Q1 report.ods)" << bs << "file:///C:/Data/Q1 report.ods";
    QTest::newRow("unc gets five slashes")
        << R"(\\srv\share\a.ods)" << bs << "file://///srv/share/a.ods";
    QTest::newRow("empty") << "" << bs << "file:///";
    QTest::newRow("forward slashes kept") << "C:/In/a.ods" << bs << "file:///C:/In/a.ods";
    QTest::newRow("posix gives three slashes") << "/tmp/a.ods" << QChar('/') << "file:///tmp/a.ods";
    QTest::newRow("percent encoded") << "/tmp/100%.ods" << QChar('/') << "file:///tmp/100%25.ods";
    QTest::newRow("escape look-alike stays literal")
        << "/tmp/x%41.ods" << QChar('/') << "file:///tmp/x%2541.ods";
    QTest::newRow("number sign") << "/tmp/a#b.ods" << QChar('/') << "file:///tmp/a%23b.ods";
    QTest::newRow("question mark") << "/tmp/why?.ods" << QChar('/') << "file:///tmp/why%3F.ods";
    QTest::newRow("spaces and letters pass")
        << "/tmp/Übersicht März.ods" << QChar('/') << "file:///tmp/Übersicht März.ods";
    QTest::newRow("windows with number sign")
        << R"(C:\In\#1.ods)" << bs << "file:///C:/In/%231.ods";
}

void ExportArgsTest::fileUrl()
{
    QFETCH(QString, path);
    QFETCH(QChar, sep);
    QFETCH(QString, url);
    QCOMPARE(FileUrlFromPath(path, sep), url);
}

void ExportArgsTest::recordKeepsItsType_data()
{
    QTest::addColumn<Any>("value");
    QTest::addColumn<QString>("typeName");
    QTest::newRow("bool") << Any(true) << "boolean";
    QTest::newRow("int16") << Any(sal_Int16(90)) << "short";
    QTest::newRow("text") << Any(rtl::OUString("calc_pdf_Export")) << "string";
    QTest::newRow("sequence") << Any(Sequence<Any>(2)) << "[]any";
    QTest::newRow("empty") << Any() << "void";
}

void ExportArgsTest::recordKeepsItsType()
{
    QFETCH(Any, value);
    QFETCH(QString, typeName);
    const auto record = CreatePropertyValue("Hidden", value);
    QCOMPARE(nameOf(record), QString("Hidden"));
    QCOMPARE(toQString(record.Value.getValueTypeName()), typeName);
    QVERIFY(record.Value == value);
    QCOMPARE(record.Handle, 0);
    QCOMPARE(record.State, css::beans::PropertyState_DIRECT_VALUE);
}

void ExportArgsTest::exportRecords()
{
    const auto url = UrlRecord("file:///out/a.pdf");
    QCOMPARE(nameOf(url), QString("URL"));
    QCOMPARE(textOf(url.Value), QString("file:///out/a.pdf"));
    QCOMPARE(nameOf(FilterNameRecord()), QString("FilterName"));
    QCOMPARE(textOf(FilterNameRecord().Value), QString("calc_pdf_Export"));
    QCOMPARE(nameOf(FilterDataRecord()), QString("FilterData"));
    Sequence<Sequence<Any>> table;
    QVERIFY(FilterDataRecord().Value >>= table);
    QCOMPARE(table.getLength(), 41);
    for (const auto& entry : table) {
        QCOMPARE(entry.getLength(), 4);
        QCOMPARE(entry[0].getValueTypeClass(), css::uno::TypeClass_STRING);
        QVERIFY(entry[1] == Any(sal_Int16(0)));
        // The dispatch's own types: a flag must not arrive as a number.
        const auto type = entry[2].getValueTypeClass();
        QVERIFY(type == css::uno::TypeClass_BOOLEAN || type == css::uno::TypeClass_SHORT ||
                type == css::uno::TypeClass_STRING || textOf(entry[0]).isEmpty());
        QCOMPARE(textOf(entry[3]), QString("com.sun.star.beans.PropertyState.DIRECT_VALUE"));
    }
    // The omitted-argument marker comes last.
    QCOMPARE(textOf(table[40][0]), QString());
    QVERIFY(!table[40][2].hasValue());
}

QTEST_GUILESS_MAIN(ExportArgsTest)
#include "tst_exportargs.moc"
