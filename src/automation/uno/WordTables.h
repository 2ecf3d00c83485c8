#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>

// Word's Tables, Table, Rows/Row, Columns/Column, the table's Range, Cells,
// Cell and a cell's Range, over the office's text tables. Cells are found
// from the table's cell names ("B3": column 2 of row 3); a cell covered by
// a vertical merge is not a cell of its own, as in Word.
class WordTables : public EmulatedObject
{
public:
    explicit WordTables(css::uno::Reference<css::lang::XComponent> document);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
};
