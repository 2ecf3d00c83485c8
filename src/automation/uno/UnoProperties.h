#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <initializer_list>

// Argument lists of the office's calls (load, store, export options).
inline css::beans::PropertyValue property(const char *name, const css::uno::Any &value)
{
    css::beans::PropertyValue property;
    property.Name = rtl::OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

// A sequence from a list; the SDK offers no such constructor outside the suite itself.
template<class T>
css::uno::Sequence<T> sequenceOf(std::initializer_list<T> items)
{
    return css::uno::Sequence<T>(items.begin(), static_cast<sal_Int32>(items.size()));
}
