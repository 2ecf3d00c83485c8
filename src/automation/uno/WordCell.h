#pragma once

#include "WordCells.h"

// One cell: RowIndex, ColumnIndex and its Range.
class WordCell : public EmulatedObject
{
public:
    WordCell(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table,
             const WordCellPosition &position);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer rowIndex(const QVariantList &args);
    Answer columnIndex(const QVariantList &args);
    Answer range(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    WordCellPosition m_position;
};
