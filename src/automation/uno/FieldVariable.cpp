#include "FieldVariable.h"

#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XDependentTextField.hpp>

using namespace css;

namespace FieldVariable {

const QString USER_MASTER = QStringLiteral("com.sun.star.text.fieldmaster.User");

namespace {
const rtl::OUString USER_FIELD("com.sun.star.text.textfield.User");
const rtl::OUString CUSTOM_FIELD("com.sun.star.text.textfield.docinfo.Custom");
} // namespace

Shown shownBy(UnoObject &field)
{
    // All service names in one round trip rather than one question per service.
    const uno::Sequence<rtl::OUString> services = field.as<lang::XServiceInfo>()->getSupportedServiceNames();
    for (const rtl::OUString &service : services) {
        if (service == USER_FIELD)
            return Shown::ByUserField;
        if (service == CUSTOM_FIELD)
            return Shown::ByCustomProperty;
    }
    return Shown::NotAVariable;
}

QString nameOf(UnoObject &field, Shown shown)
{
    switch (shown) {
    case Shown::ByUserField: {
        const uno::Reference<beans::XPropertySet> master = field.as<text::XDependentTextField>()->getTextFieldMaster();
        return toQString(master->getPropertyValue("Name").get<rtl::OUString>());
    }
    case Shown::ByCustomProperty:
        return toQString(field.as<beans::XPropertySet>()->getPropertyValue("Name").get<rtl::OUString>());
    case Shown::NotAVariable:
        break;
    }
    return QString();
}

} // namespace FieldVariable
