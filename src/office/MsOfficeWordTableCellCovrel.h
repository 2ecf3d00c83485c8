#pragma once

#include <QObject>
#include <QStringList>

class AutomationObject;

namespace MsOfficeWord {

// One table cell: the document-variable fields it shows and the values of
// their variables, read from the document's variable collection.
class TableCellCovrel : public QObject
{
    Q_OBJECT
public:
    TableCellCovrel(AutomationObject *cell, AutomationObject *document, QObject *parent);

    AutomationObject *getXaTableCell() const;
    AutomationObject *getXaDocument() const;
    AutomationObject *getXaVariables();
    // -1 without a variable collection.
    int getXaVariablesCount();
    AutomationObject *getXaRange();
    AutomationObject *getXaFields();
    // Variable names of the cell's document-variable fields, in field order.
    QStringList getFieldNames();
    bool hasFields();
    bool hasFields(const QStringList &keys);
    bool hasAllEmptyValuesInField();
    bool hasAllEmptyValuesInField(const QStringList &keys);
    // The document variable called `name`; the caller deletes it. Null when none.
    AutomationObject *getXaVariable(const QString &name);
    // Null string when there is no such variable.
    QString getXaVariableValue(const QString &name);
    bool isEmptyContent();
    int getRowIndex();
    int getColumnIndex();

private:
    bool namedValuesEmpty(const QStringList &names);
    static QString fieldName(const QString &codeText);

    AutomationObject *m_cell = nullptr;
    AutomationObject *m_document = nullptr;
    AutomationObject *m_variables = nullptr;
    AutomationObject *m_range = nullptr;
    AutomationObject *m_fields = nullptr;
    QStringList m_fieldNames;
    bool m_fieldNamesRead = false;
};

} // namespace MsOfficeWord
