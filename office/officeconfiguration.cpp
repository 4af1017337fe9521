#include "officeconfiguration.h"

#include "unostring.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

using namespace css;

uno::Reference<container::XNameReplace>
OpenConfigurationForUpdate(const uno::Reference<uno::XComponentContext>& office,
                           const QString& nodePath)
{
    beans::NamedValue path;
    path.Name = "nodepath";
    path.Value <<= toOUString(nodePath);
    return uno::Reference<container::XNameReplace>(
        configuration::theDefaultProvider::get(office)->createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationUpdateAccess", SequenceOf({uno::Any(path)})),
        uno::UNO_QUERY_THROW);
}
