#pragma once

#include <QString>
#include <rtl/ustring.hxx>

// Strings and sequences between Qt and the office API.

// Both sides are UTF-16, so the conversion copies code units unchanged.
inline rtl::OUString toOUString(const QString& s)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()),
                         static_cast<sal_Int32>(s.size()));
}

inline QString toQString(const rtl::OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

#include <com/sun/star/uno/Sequence.hxx>

#include <initializer_list>

// The SDK offers no list constructor to clients.
template <class E> css::uno::Sequence<E> SequenceOf(std::initializer_list<E> items)
{
    return css::uno::Sequence<E>(items.begin(), static_cast<sal_Int32>(items.size()));
}
