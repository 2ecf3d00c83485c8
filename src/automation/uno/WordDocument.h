#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

// A text document as Word's Document, with its Variables and Fields.
class WordDocument : public EmulatedObject
{
public:
    WordDocument(std::shared_ptr<WordSession> session, css::uno::Reference<css::lang::XComponent> document);
    QString coClass() const override;
    Answer invoke(const QString &member, const QVariantList &args) override;
    // Word keeps the variables in the package (w:docVars), which the office
    // does not import: read them from the file itself.
    void readPackageVariables(const QString &path);

private:
    Answer fullName(const QVariantList &args);
    Answer variables(const QVariantList &args);
    Answer fields(const QVariantList &args);
    Answer tables(const QVariantList &args);
    Answer saveAs(const QVariantList &args);
    Answer close(const QVariantList &args);

    std::shared_ptr<WordSession> m_session;
    css::uno::Reference<css::lang::XComponent> m_document;
};
