#pragma once

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <vector>

// One entry of the fixed PDF option table: its name and its value, of the
// type the dispatch passes (16-bit integers, booleans, text).
struct PdfOption {
    rtl::OUString name;
    css::uno::Any value;
};

// The fixed PDF option table, in its order: 40 named options and the
// omitted-argument marker (empty name, no value). Made anew at each call.
std::vector<PdfOption> PdfOptionTable();

// The option table as the dispatch passes it: 41 entries, each a four-value
// sequence {name, (sal_Int16) 0, value, state text}.
css::uno::Sequence<css::uno::Sequence<css::uno::Any>> PdfExportOptions();

// The three export records "URL", "FilterName" and "FilterData", built
// afresh for each file, one step each.
css::beans::PropertyValue UrlRecord(const QString& outputUrl);
css::beans::PropertyValue FilterNameRecord();
css::beans::PropertyValue FilterDataRecord();
