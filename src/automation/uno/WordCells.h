#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <functional>

// Where a cell stands: its name in the office table and Word's 1-based indexes.
struct WordCellPosition
{
    QString name;
    int row;
    int column;
};

// Cells of a row, a column or a whole table, counted row by row as Word does.
class WordCells : public EmulatedObject
{
public:
    using Filter = std::function<bool(const WordCellPosition &)>;
    WordCells(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table,
              Filter filter);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    QList<WordCellPosition> positions() const;
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    Filter m_filter;
};
