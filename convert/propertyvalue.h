#pragma once

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>

// A named argument for the office. The value keeps its exact type: a bool
// stays a bool, a sal_Int16 a sal_Int16.
css::beans::PropertyValue CreatePropertyValue(const QString& name, const css::uno::Any& value);
