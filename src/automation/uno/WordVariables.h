#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

#include <QSet>

// Word's Variables of one document: Add sets a value (and what the office
// shows for it), Count and Item read them in name order.
class WordVariables : public EmulatedObject
{
public:
    WordVariables(std::shared_ptr<WordSession> session, css::uno::Reference<css::lang::XComponent> document);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;

private:
    Answer add(const QVariantList &args);
    Answer count(const QVariantList &args);
    Answer item(const QVariantList &args);
    void setUserField(const QString &name, const QString &value);
    void setCustomProperty(const QString &name, const QString &value);
    const QSet<QString> &customFieldNames();

    std::shared_ptr<WordSession> m_session;
    css::uno::Reference<css::lang::XComponent> m_document;
    QSet<QString> m_customFieldNames;
    bool m_customFieldNamesRead = false;
};
