#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextTable.hpp>

// Rows or Columns of a table.
class WordTableLines : public EmulatedObject
{
public:
    enum Kind { Rows, Columns };
    WordTableLines(css::uno::Reference<css::lang::XComponent> document,
                   css::uno::Reference<css::text::XTextTable> table, Kind kind);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XTextTable> m_table;
    Kind m_kind;
};
