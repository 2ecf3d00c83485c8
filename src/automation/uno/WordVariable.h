#pragma once

#include "EmulatedObject.h"

// One document variable, as read when it was asked for.
class WordVariable : public EmulatedObject
{
public:
    WordVariable(const QString &name, const QString &value);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer name(const QVariantList &args);
    Answer value(const QVariantList &args);

    QString m_name;
    QString m_value;
};
