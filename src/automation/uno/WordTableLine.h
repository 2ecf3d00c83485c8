#pragma once

#include "WordTableLines.h"

// One row, one column, or the table's whole range: something with Cells.
class WordTableLine : public EmulatedObject
{
public:
    WordTableLine(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table,
                  WordTableLines::Kind kind, int index);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer cells(const QVariantList &args);
    Answer remove(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    WordTableLines::Kind m_kind;
    int m_index; // 0: the whole table
};
