#pragma once

#include "EmulatedObject.h"

// The code of a field, as the range Field.Code() gives.
class WordFieldCode : public EmulatedObject
{
public:
    explicit WordFieldCode(const QString &text);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer text(const QVariantList &args);

    QString m_text;
};
