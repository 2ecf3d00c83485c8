#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

// "Word.Application": its Documents, Version, Visible, Activate() and Quit().
class WordApplication : public EmulatedObject
{
public:
    explicit WordApplication(std::shared_ptr<WordSession> session);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;
    void set(const QString &name, const QVariant &value) override;

private:
    Answer application(const QVariantList &args);
    Answer documents(const QVariantList &args);
    Answer version(const QVariantList &args);
    Answer visible(const QVariantList &args);
    Answer activate(const QVariantList &args);
    Answer quit(const QVariantList &args);

    std::shared_ptr<WordSession> m_session;
};
