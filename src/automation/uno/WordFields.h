#pragma once

#include "EmulatedObject.h"
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <functional>

// A Fields collection: of the whole document, or of one cell's range.
class WordFields : public EmulatedObject
{
public:
    using Source = std::function<QList<css::uno::Reference<css::text::XTextField>>()>;
    WordFields(css::uno::Reference<css::lang::XComponent> document, Source source);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

    static Source ofDocument(const css::uno::Reference<css::lang::XComponent> &document);

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);
    Answer update(const QVariantList &args);

    css::uno::Reference<css::lang::XComponent> m_document;
    Source m_source;
};
