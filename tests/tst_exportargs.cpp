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
    void argumentListHasThreeRecordsInOrder();
    void optionTableShape();
    void optionTableValues_data();
    void optionTableValues();
    void lastEntryIsTheOmittedMarker();
    void onlyTheUrlDiffersBetweenFiles();
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
    QTest::newRow("posix gives four slashes") << "/tmp/a.ods" << QChar('/') << "file:////tmp/a.ods";
    QTest::newRow("percent encoded") << "/tmp/100%.ods" << QChar('/') << "file:////tmp/100%25.ods";
    QTest::newRow("escape look-alike stays literal")
        << "/tmp/x%41.ods" << QChar('/') << "file:////tmp/x%2541.ods";
    QTest::newRow("number sign") << "/tmp/a#b.ods" << QChar('/') << "file:////tmp/a%23b.ods";
    QTest::newRow("question mark") << "/tmp/why?.ods" << QChar('/') << "file:////tmp/why%3F.ods";
    QTest::newRow("spaces and letters pass")
        << "/tmp/Übersicht März.ods" << QChar('/') << "file:////tmp/Übersicht März.ods";
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

void ExportArgsTest::argumentListHasThreeRecordsInOrder()
{
    const auto args = BuildPdfExportArguments("file:////out/a.pdf");
    QCOMPARE(args.getLength(), 3);
    QCOMPARE(nameOf(args[0]), QString("URL"));
    QCOMPARE(textOf(args[0].Value), QString("file:////out/a.pdf"));
    QCOMPARE(nameOf(args[1]), QString("FilterName"));
    QCOMPARE(textOf(args[1].Value), QString("calc_pdf_Export"));
    QCOMPARE(nameOf(args[2]), QString("FilterData"));
    Sequence<Sequence<Any>> table;
    QVERIFY(args[2].Value >>= table);
    QCOMPARE(table.getLength(), 41);
}

void ExportArgsTest::optionTableShape()
{
    const auto table = PdfExportOptions();
    QCOMPARE(table.getLength(), 41);
    for (const auto& entry : table) {
        QCOMPARE(entry.getLength(), 4);
        QCOMPARE(entry[1].getValueTypeClass(), css::uno::TypeClass_SHORT);
        QCOMPARE(entry[1].get<sal_Int16>(), sal_Int16(0));
        QCOMPARE(textOf(entry[3]), QString("com.sun.star.beans.PropertyState.DIRECT_VALUE"));
        QCOMPARE(entry[0].getValueTypeClass(), css::uno::TypeClass_STRING);
    }
}

void ExportArgsTest::optionTableValues_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Any>("value");
    const auto add = [](int pos, const char* name, const Any& v) {
        QTest::newRow(name) << pos << QString(name) << v;
    };
    add(0, "UseLosslessCompression", Any(false));
    add(1, "Quality", Any(sal_Int16(90)));
    add(3, "MaxImageResolution", Any(sal_Int16(300)));
    add(7, "ExportBookmarks", Any(true));
    add(8, "OpenBookmarkLevels", Any(sal_Int16(-1)));
    add(10, "IsSkipEmptyPages", Any(true));
    add(20, "DisplayPDFDocumentTitle", Any(true));
    add(23, "Zoom", Any(sal_Int16(100)));
    add(26, "InitialPage", Any(sal_Int16(1)));
    add(27, "Printing", Any(sal_Int16(2)));
    add(28, "Changes", Any(sal_Int16(4)));
    add(30, "EnableTextAccessForAccessibilityTools", Any(true));
    add(34, "ExportBookmarksToPDFDestination", Any(false));
    add(35, "_OkButtonString", Any(rtl::OUString()));
    add(36, "EncryptFile", Any(false));
    add(37, "DocumentOpenPassword", Any(rtl::OUString()));
    add(38, "RestrictPermissions", Any(false));
    add(39, "PermissionPassword", Any(rtl::OUString()));
}

void ExportArgsTest::optionTableValues()
{
    QFETCH(int, position);
    QFETCH(QString, name);
    QFETCH(Any, value);
    const auto entry = PdfExportOptions()[position];
    QCOMPARE(textOf(entry[0]), name);
    // Same type and same value: a bool must not arrive as a number.
    QCOMPARE(toQString(entry[2].getValueTypeName()), toQString(value.getValueTypeName()));
    QVERIFY(entry[2] == value);
}

void ExportArgsTest::lastEntryIsTheOmittedMarker()
{
    const auto last = PdfExportOptions()[40];
    QCOMPARE(textOf(last[0]), QString());
    QVERIFY(!last[2].hasValue());
    QCOMPARE(last[1].get<sal_Int16>(), sal_Int16(0));
}

void ExportArgsTest::onlyTheUrlDiffersBetweenFiles()
{
    const auto first = BuildPdfExportArguments("file:////a/1.pdf");
    const auto second = BuildPdfExportArguments("file:////b/2.pdf");
    QVERIFY(first[0].Value != second[0].Value);
    QVERIFY(first[1].Value == second[1].Value);
    QVERIFY(first[2].Value == second[2].Value);
}

QTEST_GUILESS_MAIN(ExportArgsTest)
#include "tst_exportargs.moc"
