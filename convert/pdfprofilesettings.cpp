#include "pdfprofilesettings.h"

#include "officeconfiguration.h"
#include "officeerror.h"
#include "pdfexportargs.h"
#include "unostring.h"

#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <algorithm>
#include <vector>

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
        // Each call is a round trip to the office, at every connect: the
        // settings are read in one, and only those that differ are written
        // and committed (on a profile set up before, none).
        const auto settings = OpenPdfExportSettings(office);
        const Reference<beans::XMultiPropertySet> all(settings, uno::UNO_QUERY_THROW);
        const uno::Sequence<rtl::OUString> present = settings->getElementNames();
        std::vector<rtl::OUString> names;
        std::vector<uno::Any> wanted;
        for (const auto& [name, value] : PdfOptionTable()) {
            if (!name.isEmpty() &&
                std::find(present.begin(), present.end(), name) != present.end()) {
                names.push_back(name);
                wanted.push_back(value);
            }
        }
        const uno::Sequence<uno::Any> current =
            all->getPropertyValues(uno::Sequence<rtl::OUString>(names.data(), int(names.size())));
        std::vector<rtl::OUString> changedNames;
        std::vector<uno::Any> changedValues;
        for (size_t i = 0; i < names.size() && i < size_t(current.getLength()); ++i) {
            const uno::Any value = asSettingType(wanted[i], current[int(i)].getValueType());
            if (value != current[int(i)]) {
                changedNames.push_back(names[i]);
                changedValues.push_back(value);
            }
        }
        if (changedNames.empty())
            return;
        all->setPropertyValues(
            uno::Sequence<rtl::OUString>(changedNames.data(), int(changedNames.size())),
            uno::Sequence<uno::Any>(changedValues.data(), int(changedValues.size())));
        Reference<util::XChangesBatch>(settings, uno::UNO_QUERY_THROW)->commitChanges();
    } catch (const uno::RuntimeException&) {
        // The office went away: the caller's business, as for any call.
        throw;
    } catch (const uno::Exception& e) {
        throw OfficeError(QStringLiteral("The office's PDF settings could not be set: %1")
                              .arg(toQString(e.Message)));
    }
}
