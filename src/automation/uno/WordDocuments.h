#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

// Word's Documents: the office's open text documents; Open loads one hidden.
class WordDocuments : public EmulatedObject
{
public:
    explicit WordDocuments(std::shared_ptr<WordSession> session);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);
    Answer open(const QVariantList &args);

    std::shared_ptr<WordSession> m_session;
};
