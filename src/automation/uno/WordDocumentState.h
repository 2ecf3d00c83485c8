#pragma once

#include "FieldVariable.h"
#include "OfficeDocumentState.h"
#include "Revisioned.h"
#include "UnoObject.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XComponent.hpp>

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <memory>

// One text field of a document or a cell, with what was learnt of it.
class WordFieldEntry
{
public:
    explicit WordFieldEntry(UnoObject field);
    UnoObject &field();
    // Each asked of the office once: what a field is and which variable it shows do not change.
    FieldVariable::Shown shown();
    const QString &variable();

private:
    UnoObject m_field;
    bool m_shownRead = false;
    FieldVariable::Shown m_shown = FieldVariable::Shown::NotAVariable;
    bool m_variableRead = false;
    QString m_variable;
};

using WordFieldList = QList<std::shared_ptr<WordFieldEntry>>;

// What the emulation keeps of one open document: Word's document variables
// (which the office does not hold), the office's collections asked for once
// (they are live: they answer as the document stands), and what was read of
// the document's structure (its fields, its tables' cells), kept against a
// revision. The documents live hidden in offices of our own, so only the
// emulation changes them: each change it makes to the structure (a row or
// column deleted) counts the revision up, and every structure read at an
// older revision is read again.
class WordDocumentState : public OfficeDocumentState
{
public:
    WordDocumentState(const css::uno::Reference<css::lang::XComponent> &component,
                      const css::uno::Reference<css::uno::XInterface> &identity);

    // Sets a document variable and what the office shows for it.
    void setVariable(const QString &name, const QString &value);
    const QMap<QString, QString> &variables() const;

    // Every text field of the document, in the office's order.
    WordFieldList &fields();
    css::uno::Reference<css::container::XIndexAccess> tables();
    void refreshFields();

private:
    void setUserField(const QString &name, const QString &value);
    void setCustomProperty(const QString &name, const QString &value);
    QSet<QString> customPropertyVariables();
    UnoObject &textFields();

    QMap<QString, QString> m_variables;
    UnoObject m_fieldMasters;
    UnoObject m_userProperties;
    QSet<QString> m_userPropertyNames;
    UnoObject m_textFields;
    UnoObject m_tables;
    Revisioned<WordFieldList> m_fields;
    Revisioned<QSet<QString>> m_customPropertyVariables;
};
