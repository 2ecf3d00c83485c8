#include "UnoRuntime.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <QUrl>

using namespace css;

namespace {
uno::Reference<uno::XComponentContext> s_context;

rtl::OUString fileUrl(const QString &path) { return toOUString(QUrl::fromLocalFile(path).toString()); }
} // namespace

uno::Reference<uno::XComponentContext> UnoRuntime::context(const QString &programDir)
{
    if (s_context.is())
        return s_context;
    // No ini file beside us: name the registries directly.
    rtl::Bootstrap::set("URE_INTERNAL_LIB_DIR", fileUrl(programDir));
    rtl::Bootstrap::set("UNO_TYPES",
                        fileUrl(programDir + QStringLiteral("/types.rdb")) + " "
                                + fileUrl(programDir + QStringLiteral("/types/offapi.rdb")));
    rtl::Bootstrap::set("UNO_SERVICES", fileUrl(programDir + QStringLiteral("/services.rdb")));
    s_context = cppu::defaultBootstrap_InitialComponentContext();
    return s_context;
}

void UnoRuntime::shutdown()
{
    if (!s_context.is())
        return;
    uno::Reference<lang::XComponent> component(s_context, uno::UNO_QUERY);
    s_context.clear();
    if (component.is())
        component->dispose();
}
