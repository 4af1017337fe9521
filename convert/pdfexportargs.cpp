#include "pdfexportargs.h"

#include "propertyvalue.h"
#include "unostring.h"

#include <initializer_list>
#include <utility>

using css::uno::Any;
using css::uno::Sequence;

namespace {
const rtl::OUString DirectValue("com.sun.star.beans.PropertyState.DIRECT_VALUE");

Any flag(bool b)
{
    return Any(b);
}
Any number(sal_Int16 n)
{
    return Any(n);
}
Any text()
{
    return Any(rtl::OUString());
}
} // namespace

std::vector<PdfOption> PdfOptionTable()
{
    const std::initializer_list<std::pair<const char*, Any>> entries = {
        {"UseLosslessCompression", flag(false)},
        {"Quality", number(90)},
        {"ReduceImageResolution", flag(false)},
        {"MaxImageResolution", number(300)},
        {"UseTaggedPDF", flag(false)},
        {"SelectPdfVersion", number(0)},
        {"ExportNotes", flag(false)},
        {"ExportBookmarks", flag(true)},
        {"OpenBookmarkLevels", number(-1)},
        {"UseTransitionEffects", flag(true)},
        {"IsSkipEmptyPages", flag(true)},
        {"IsAddStream", flag(false)},
        {"FormsType", number(0)},
        {"ExportFormFields", flag(true)},
        {"HideViewerToolbar", flag(false)},
        {"HideViewerMenubar", flag(false)},
        {"HideViewerWindowControls", flag(false)},
        {"ResizeWindowToInitialPage", flag(false)},
        {"CenterWindow", flag(false)},
        {"OpenInFullScreenMode", flag(false)},
        {"DisplayPDFDocumentTitle", flag(true)},
        {"InitialView", number(0)},
        {"Magnification", number(0)},
        {"Zoom", number(100)},
        {"PageLayout", number(0)},
        {"FirstPageOnLeft", flag(false)},
        {"InitialPage", number(1)},
        {"Printing", number(2)},
        {"Changes", number(4)},
        {"EnableCopyingOfContent", flag(true)},
        {"EnableTextAccessForAccessibilityTools", flag(true)},
        {"ExportLinksRelativeFsys", flag(false)},
        {"PDFViewSelection", number(0)},
        {"ConvertOOoTargetToPDFTarget", flag(false)},
        {"ExportBookmarksToPDFDestination", flag(false)},
        {"_OkButtonString", text()},
        {"EncryptFile", flag(false)},
        {"DocumentOpenPassword", text()},
        {"RestrictPermissions", flag(false)},
        {"PermissionPassword", text()},
        // The omitted-argument marker: no name, no value.
        {"", Any()},
    };
    std::vector<PdfOption> options;
    for (const auto& [name, value] : entries)
        options.push_back({rtl::OUString::createFromAscii(name), value});
    return options;
}

// This shape (sequences of values, not PropertyValue records) is what the
// office accepts and then ignores: it applies the PDF settings of its own
// profile instead, which is why the session writes this table there too.
Sequence<Sequence<Any>> PdfExportOptions()
{
    const auto table = PdfOptionTable();
    Sequence<Sequence<Any>> options(static_cast<sal_Int32>(table.size()));
    auto* out = options.getArray();
    for (const auto& [name, value] : table)
        *out++ = SequenceOf({Any(name), number(0), value, Any(DirectValue)});
    return options;
}

css::beans::PropertyValue UrlRecord(const QString& outputUrl)
{
    return CreatePropertyValue(QStringLiteral("URL"), Any(toOUString(outputUrl)));
}

css::beans::PropertyValue FilterNameRecord()
{
    return CreatePropertyValue(QStringLiteral("FilterName"), Any(rtl::OUString("calc_pdf_Export")));
}

css::beans::PropertyValue FilterDataRecord()
{
    return CreatePropertyValue(QStringLiteral("FilterData"), Any(PdfExportOptions()));
}
