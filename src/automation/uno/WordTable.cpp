#include "WordTable.h"

#include "WordTableLine.h"
#include "WordTableLines.h"

using namespace css;

WordTable::WordTable(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table)
    : m_document(std::move(document))
    , m_table(std::move(table))
{ }

QString WordTable::coClass() const { return QStringLiteral("Table"); }

EmulatedObject::Answer WordTable::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTable> members{
            {QStringLiteral("Rows"), &WordTable::rows},
            {QStringLiteral("Columns"), &WordTable::columns},
            {QStringLiteral("Range"), &WordTable::range},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTable::rows(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLines>(m_document, m_table, WordTableLines::Rows));
}

EmulatedObject::Answer WordTable::columns(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLines>(m_document, m_table, WordTableLines::Columns));
}

EmulatedObject::Answer WordTable::range(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLine>(m_document, m_table, WordTableLines::Rows, 0));
}
