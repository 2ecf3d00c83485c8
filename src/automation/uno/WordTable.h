#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>

// One table: its Rows, Columns and Range.
class WordTable : public EmulatedObject
{
public:
    WordTable(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XTextTable> table);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer rows(const QVariantList &args);
    Answer columns(const QVariantList &args);
    Answer range(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
};
