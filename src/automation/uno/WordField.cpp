#include "WordField.h"

#include "FieldVariable.h"
#include "UnoRuntime.h"
#include "WordFieldCode.h"

using namespace css;

namespace {
const int WD_FIELD_EMPTY = -1;
const int WD_FIELD_DOC_VARIABLE = 64;
} // namespace

WordField::WordField(uno::Reference<text::XTextField> field)
    : m_field(std::move(field))
{ }

QString WordField::coClass() const { return QStringLiteral("Field"); }

EmulatedObject::Answer WordField::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordField> members{
            {QStringLiteral("Type"), &WordField::type},
            {QStringLiteral("Code"), &WordField::code},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordField::type(const QVariantList &)
{
    return Answer(FieldVariable::nameOf(m_field).isNull() ? WD_FIELD_EMPTY : WD_FIELD_DOC_VARIABLE);
}

EmulatedObject::Answer WordField::code(const QVariantList &)
{
    const QString variable = FieldVariable::nameOf(m_field);
    if (!variable.isNull())
        return Answer(std::make_shared<WordFieldCode>(QStringLiteral(" DOCVARIABLE %1 ").arg(variable)));
    return Answer(std::make_shared<WordFieldCode>(QLatin1Char(' ') + toQString(m_field->getPresentation(true))
                                                  + QLatin1Char(' ')));
}
