#include "MsOfficeWordTableCellCovrel.h"

#include "AutomationObject.h"

#include <QRegularExpression>

namespace MsOfficeWord {

namespace {
const int WD_FIELD_DOC_VARIABLE = 64;
}

TableCellCovrel::TableCellCovrel(AutomationObject *cell, AutomationObject *document, QObject *parent)
    : QObject(parent)
    , m_cell(cell)
    , m_document(document)
{ }

AutomationObject *TableCellCovrel::getXaTableCell() const { return m_cell; }

AutomationObject *TableCellCovrel::getXaDocument() const { return m_document; }

AutomationObject *TableCellCovrel::getXaVariables()
{
    if ((!m_variables || m_variables->isNull()) && m_document)
        m_variables = m_document->querySubObject("Variables()");
    return m_variables;
}

int TableCellCovrel::getXaVariablesCount()
{
    AutomationObject *variables = getXaVariables();
    return variables ? variables->dynamicCall("Count()").toInt() : -1;
}

AutomationObject *TableCellCovrel::getXaRange()
{
    if (!m_range && m_cell)
        m_range = m_cell->querySubObject("Range()");
    return m_range;
}

AutomationObject *TableCellCovrel::getXaFields()
{
    AutomationObject *range = getXaRange();
    if (!m_fields && range)
        m_fields = range->querySubObject("Fields()");
    return m_fields;
}

QString TableCellCovrel::fieldName(const QString &codeText)
{
    static const QRegularExpression docVariable(QStringLiteral("DOCVARIABLE\\s+[\"']?(\\S*)[\"']?\\s*"));
    const QRegularExpressionMatch match = docVariable.match(codeText);
    return match.hasMatch() ? match.captured(1) : codeText;
}

QStringList TableCellCovrel::getFieldNames()
{
    // Both tests of a row ask for the names; the cell's fields do not change meanwhile.
    if (m_fieldNamesRead)
        return m_fieldNames;
    m_fieldNamesRead = true;
    AutomationObject *fields = getXaFields();
    const int count = fields ? fields->dynamicCall("Count()").toInt() : 0;
    for (int index = 1; index <= count; ++index) {
        AutomationObject *field = fields->querySubObject("Item(QVariant)", index);
        if (!field)
            continue;
        if (field->dynamicCall("Type()").toInt() == WD_FIELD_DOC_VARIABLE) {
            AutomationObject *code = field->querySubObject("Code()");
            const QString text = code ? code->dynamicCall("Text()").toString() : QString();
            delete code;
            m_fieldNames.append(fieldName(text));
        }
        delete field;
    }
    return m_fieldNames;
}

bool TableCellCovrel::hasFields() { return !getFieldNames().isEmpty(); }

bool TableCellCovrel::hasFields(const QStringList &keys)
{
    for (const QString &name : getFieldNames()) {
        if (keys.contains(name))
            return true;
    }
    return false;
}

bool TableCellCovrel::hasAllEmptyValuesInField()
{
    const QStringList names = getFieldNames();
    return !names.isEmpty() && namedValuesEmpty(names);
}

bool TableCellCovrel::hasAllEmptyValuesInField(const QStringList &keys)
{
    const QStringList names = getFieldNames();
    QStringList shown;
    for (const QString &key : keys) {
        if (names.contains(key))
            shown.append(key);
    }
    return namedValuesEmpty(shown);
}

bool TableCellCovrel::namedValuesEmpty(const QStringList &names)
{
    for (const QString &name : names) {
        const QString value = getXaVariableValue(name);
        if (!value.isNull() && !value.trimmed().isEmpty())
            return false;
    }
    return true;
}

AutomationObject *TableCellCovrel::getXaVariable(const QString &name)
{
    const int count = getXaVariablesCount();
    for (int index = 1; index <= count; ++index) {
        AutomationObject *variable = m_variables->querySubObject("Item(QVariant)", index);
        if (!variable)
            continue;
        if (variable->dynamicCall("Name()").toString() == name)
            return variable;
        delete variable;
    }
    return nullptr;
}

QString TableCellCovrel::getXaVariableValue(const QString &name)
{
    AutomationObject *variable = getXaVariable(name);
    if (!variable)
        return QString();
    const QString value = variable->dynamicCall("Value()").toString();
    delete variable;
    return value;
}

bool TableCellCovrel::isEmptyContent()
{
    static const QRegularExpression endOfCell(QStringLiteral("\\r") + QChar(7) + QStringLiteral("$"));
    AutomationObject *range = getXaRange();
    if (!range)
        return false;
    return range->dynamicCall("Text()").toString().remove(endOfCell).isEmpty();
}

int TableCellCovrel::getRowIndex() { return m_cell ? m_cell->dynamicCall("RowIndex()").toInt() : 0; }

int TableCellCovrel::getColumnIndex() { return m_cell ? m_cell->dynamicCall("ColumnIndex()").toInt() : 0; }

} // namespace MsOfficeWord
