#include "FieldVariable.h"

#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XDependentTextField.hpp>

using namespace css;

namespace FieldVariable {

const QString USER_FIELD = QStringLiteral("com.sun.star.text.textfield.User");
const QString CUSTOM_FIELD = QStringLiteral("com.sun.star.text.textfield.docinfo.Custom");
const QString USER_MASTER = QStringLiteral("com.sun.star.text.fieldmaster.User");

bool supports(const uno::Reference<text::XTextField> &field, const QString &service)
{
    const uno::Reference<lang::XServiceInfo> info(field, uno::UNO_QUERY);
    return info.is() && info->supportsService(toOUString(service));
}

QString nameOf(const uno::Reference<text::XTextField> &field)
{
    if (supports(field, USER_FIELD)) {
        const uno::Reference<text::XDependentTextField> dependent(field, uno::UNO_QUERY_THROW);
        return toQString(dependent->getTextFieldMaster()->getPropertyValue("Name").get<rtl::OUString>());
    }
    if (supports(field, CUSTOM_FIELD)) {
        const uno::Reference<beans::XPropertySet> properties(field, uno::UNO_QUERY_THROW);
        return toQString(properties->getPropertyValue("Name").get<rtl::OUString>());
    }
    return QString();
}

} // namespace FieldVariable
