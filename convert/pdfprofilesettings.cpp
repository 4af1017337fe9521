#include "pdfprofilesettings.h"

#include "officeconfiguration.h"
#include "officeerror.h"
#include "pdfexportargs.h"
#include "unostring.h"

#include <com/sun/star/util/XChangesBatch.hpp>

using namespace css;
using css::uno::Reference;

namespace {
// The table's integers are 16-bit; the settings hold 32-bit ones.
uno::Any asSettingType(const uno::Any& value, const uno::Type& settingType)
{
    sal_Int32 number = 0;
    if (value.getValueTypeClass() == uno::TypeClass_SHORT &&
        settingType == cppu::UnoType<sal_Int32>::get() && (value >>= number))
        return uno::Any(number);
    return value;
}
} // namespace

Reference<container::XNameReplace>
OpenPdfExportSettings(const Reference<uno::XComponentContext>& office)
{
    return OpenConfigurationForUpdate(
        office, QStringLiteral("/org.openoffice.Office.Common/Filter/PDF/Export"));
}

void WritePdfExportSettings(const Reference<uno::XComponentContext>& office)
{
    try {
        const auto settings = OpenPdfExportSettings(office);
        for (const auto& [name, value] : PdfOptionTable()) {
            if (name.isEmpty() || !settings->hasByName(name))
                continue;
            settings->replaceByName(name,
                                    asSettingType(value, settings->getByName(name).getValueType()));
        }
        Reference<util::XChangesBatch>(settings, uno::UNO_QUERY_THROW)->commitChanges();
    } catch (const uno::RuntimeException&) {
        // The office went away: the caller's business, as for any call.
        throw;
    } catch (const uno::Exception& e) {
        throw OfficeError(QStringLiteral("The office's PDF settings could not be set: %1")
                              .arg(toQString(e.Message)));
    }
}
