#include "propertyvalue.h"

#include "unostring.h"

css::beans::PropertyValue CreatePropertyValue(const QString& name, const css::uno::Any& value)
{
    css::beans::PropertyValue record;
    record.Name = toOUString(name);
    record.Value = value;
    return record;
}
