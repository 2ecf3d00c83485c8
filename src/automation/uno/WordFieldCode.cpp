#include "WordFieldCode.h"

WordFieldCode::WordFieldCode(const QString &text)
    : m_text(text)
{ }

QString WordFieldCode::coClass() const { return QStringLiteral("Range"); }

EmulatedObject::Answer WordFieldCode::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordFieldCode> members{{QStringLiteral("Text"), &WordFieldCode::text}};
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordFieldCode::text(const QVariantList &) { return Answer(m_text); }
