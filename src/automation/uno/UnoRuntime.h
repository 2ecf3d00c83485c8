#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

// The local end of the office connection: one UNO component context per
// process, bootstrapped from the suite's own type and service registries.
class UnoRuntime
{
public:
    static css::uno::Reference<css::uno::XComponentContext> context(const QString &programDir);
    // Disposes the local context; remote references must be gone first.
    static void shutdown();
};

inline rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

inline QString toQString(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}
