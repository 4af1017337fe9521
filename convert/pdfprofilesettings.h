#pragma once

#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// The office's PDF export settings in its profile, open for reading and
// writing (changes stay pending until committed).
css::uno::Reference<css::container::XNameReplace>
OpenPdfExportSettings(const css::uno::Reference<css::uno::XComponentContext>& office);

// The export ignores the option table in the shape the dispatch passes it and
// applies the PDF settings of the office's profile instead. This writes every
// entry of the table into those settings, so every PDF gets what the table
// says. Entries that the settings do not hold are left out: the dialog's
// button text, and encryption and its passwords, which the office never
// stores; without them the export neither encrypts nor restricts, as the
// table says. Raises an OfficeError when the settings cannot be written.
void WritePdfExportSettings(const css::uno::Reference<css::uno::XComponentContext>& office);
