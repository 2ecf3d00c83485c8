#pragma once

#include "EmulatedObject.h"
#include "WordSession.h"

#include <com/sun/star/text/XTextField.hpp>

#include <functional>

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

    std::shared_ptr<WordSession> m_session;
    css::uno::Reference<css::lang::XComponent> m_document;
};

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
