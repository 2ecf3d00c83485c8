#include "WordCell.h"

#include "UnoRuntime.h"
#include "WordCellRange.h"

#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>

using namespace css;

WordCell::WordCell(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                   const WordCellPosition &position)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_position(position)
{ }

QString WordCell::coClass() const { return QStringLiteral("Cell"); }

EmulatedObject::Answer WordCell::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordCell> members{
            {QStringLiteral("RowIndex"), &WordCell::rowIndex},
            {QStringLiteral("ColumnIndex"), &WordCell::columnIndex},
            {QStringLiteral("Range"), &WordCell::range},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordCell::rowIndex(const QVariantList &) { return Answer(m_position.row); }

EmulatedObject::Answer WordCell::columnIndex(const QVariantList &) { return Answer(m_position.column); }

EmulatedObject::Answer WordCell::range(const QVariantList &)
{
    const uno::Reference<text::XText> text(m_table->getCellByName(toOUString(m_position.name)), uno::UNO_QUERY_THROW);
    return Answer(std::make_shared<WordCellRange>(m_document, text));
}
