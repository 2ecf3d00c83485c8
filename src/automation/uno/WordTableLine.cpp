#include "WordTableLine.h"

#include "WordCells.h"

#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>

using namespace css;

WordTableLine::WordTableLine(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                             WordTableLines::Kind kind, int index)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_kind(kind)
    , m_index(index)
{ }

QString WordTableLine::coClass() const
{
    if (m_index == 0)
        return QStringLiteral("Range");
    return m_kind == WordTableLines::Rows ? QStringLiteral("Row") : QStringLiteral("Column");
}

EmulatedObject::Answer WordTableLine::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTableLine> members{
            {QStringLiteral("Cells"), &WordTableLine::cells},
            {QStringLiteral("Delete"), &WordTableLine::remove},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTableLine::cells(const QVariantList &)
{
    const int index = m_index;
    const bool rows = m_kind == WordTableLines::Rows;
    WordCells::Filter filter = [index, rows](const WordCellPosition &position) {
        return index == 0 || (rows ? position.row : position.column) == index;
    };
    return Answer(std::make_shared<WordCells>(m_document, m_table, filter));
}

EmulatedObject::Answer WordTableLine::remove(const QVariantList &)
{
    if (m_index == 0)
        throwUnknownMember(QStringLiteral("Delete"));
    if (m_kind == WordTableLines::Rows)
        m_table->getRows()->removeByIndex(m_index - 1, 1);
    else
        m_table->getColumns()->removeByIndex(m_index - 1, 1);
    return Answer();
}
