#include "WordVariable.h"

WordVariable::WordVariable(const QString &name, const QString &value)
    : m_name(name)
    , m_value(value)
{ }

QString WordVariable::coClass() const { return QStringLiteral("Variable"); }

EmulatedObject::Answer WordVariable::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordVariable> members{
            {QStringLiteral("Name"), &WordVariable::name},
            {QStringLiteral("Value"), &WordVariable::value},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordVariable::name(const QVariantList &) { return Answer(m_name); }

EmulatedObject::Answer WordVariable::value(const QVariantList &) { return Answer(m_value); }
