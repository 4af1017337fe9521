#pragma once

#include <QString>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// One node of the office's configuration (its profile), such as
// "/org.openoffice.Office.Common/Misc", open for reading and writing. The
// changes stay pending until committed through XChangesBatch. Raises the
// office's exception when the node cannot be opened.
css::uno::Reference<css::container::XNameReplace>
OpenConfigurationForUpdate(const css::uno::Reference<css::uno::XComponentContext>& office,
                           const QString& nodePath);
