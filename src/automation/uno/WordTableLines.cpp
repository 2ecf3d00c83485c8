#include "WordTableLines.h"

#include "WordTableLine.h"

#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>

using namespace css;

WordTableLines::WordTableLines(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                               Kind kind)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_kind(kind)
{ }

QString WordTableLines::coClass() const { return m_kind == Rows ? QStringLiteral("Rows") : QStringLiteral("Columns"); }

EmulatedObject::Answer WordTableLines::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTableLines> members{
            {QStringLiteral("Count"), &WordTableLines::count},
            {QStringLiteral("Item"), &WordTableLines::item},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTableLines::count(const QVariantList &)
{
    if (m_kind == Rows)
        return Answer(static_cast<int>(m_table->getRows()->getCount()));
    return Answer(static_cast<int>(m_table->getColumns()->getCount()));
}

EmulatedObject::Answer WordTableLines::item(const QVariantList &args)
{
    const int index = collectionIndex(args, count({}).value.toInt());
    return Answer(std::make_shared<WordTableLine>(m_document, m_table, m_kind, index));
}
