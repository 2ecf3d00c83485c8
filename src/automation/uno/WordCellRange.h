#pragma once

#include "EmulatedObject.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XText.hpp>

// A cell's Range: its Text (ending in the end-of-cell mark) and Fields.
class WordCellRange : public EmulatedObject
{
public:
    WordCellRange(css::uno::Reference<css::lang::XComponent> document, css::uno::Reference<css::text::XText> text);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer text(const QVariantList &args);
    Answer fields(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    css::uno::Reference<css::text::XText> m_text;
};
