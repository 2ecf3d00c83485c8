#pragma once

#include "ScriptedAutomationBackend.h"

#include <QMap>
#include <QStringList>

// A Word with one document's worth of object model, held in memory on the
// scripted automation server: documents by full name, document variables,
// and tables of cells showing fields. Calls change the model as Word would
// (Variables.Add sets a value, Row.Delete removes the row, Close drops the
// document), so the tests read the outcome from the model.
class ScriptedWord
{
public:
    static const QString CLASS_ID;

    struct Cell
    {
        int column = 1; // ColumnIndex(); a merged-away cell is simply missing
        QStringList fieldCodes; // e.g. docVariable("a"), or " PAGE "
        QString text; // shown text, without the end-of-cell mark
    };
    using Row = QList<Cell>;
    struct Table
    {
        QList<Row> rows;
        bool hasRowCollection = true;
    };

    explicit ScriptedWord(ScriptedAutomationBackend &server);

    static QString docVariable(const QString &name);
    // A row whose cells n = 1.. show the given field codes (one field each, empty = none).
    static Row row(const QStringList &codes);

    QStringList documents; // full names, in Documents order
    QMap<QString, QString> variables;
    QList<Table> tables;
    QStringList bodyFieldCodes; // the document's Fields collection
    QStringList deletedRows; // "T<table>.R<row>" in call order
    QString version = QStringLiteral("16.0");
    bool saveWrites = true; // SaveAs writes its file (false: answers as if it had, writes nothing)

private:
    QVariant answer(const QString &object, const QString &member, const QVariantList &args);
    QVariant answerTable(const QStringList &path, const QString &member, const QVariantList &args);
    QVariant answerCell(const QStringList &path, const QString &member, const QVariantList &args);
    QString variableName(int index) const;
    QString cellByRangeIndex(int table, int index) const;
    const Cell *cellAt(const QStringList &path) const;
};
