#pragma once

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

// The fixed PDF option table: 41 entries, each a four-value sequence
// {name, (sal_Int16) 0, value, state text}. The last entry has an empty name
// and an empty value.
css::uno::Sequence<css::uno::Sequence<css::uno::Any>> PdfExportOptions();

// The three export records, one by one, as the run builds them.
css::beans::PropertyValue UrlRecord(const QString& outputUrl);
css::beans::PropertyValue FilterNameRecord();
css::beans::PropertyValue FilterDataRecord();

// The three export arguments "URL", "FilterName" and "FilterData", built
// afresh for each file.
css::uno::Sequence<css::beans::PropertyValue> BuildPdfExportArguments(const QString& outputUrl);
