#pragma once

#include "EmulatedObject.h"
#include <com/sun/star/text/XTextField.hpp>

// One field: Type() 64 for a document-variable field, Code() its code text.
class WordField : public EmulatedObject
{
public:
    explicit WordField(css::uno::Reference<css::text::XTextField> field);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer type(const QVariantList &args);
    Answer code(const QVariantList &args);

    css::uno::Reference<css::text::XTextField> m_field;
};
