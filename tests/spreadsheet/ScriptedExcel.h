#pragma once

#include "ScriptedAutomationBackend.h"

#include <QMap>
#include <QPair>
#include <QStringList>
#include <functional>

// A spreadsheet application held in memory on the scripted automation
// server, answering the members the spreadsheet layer calls as Excel does:
// workbooks opened from prepared files, sheets of cells (value, formula,
// number format), page setups, sheet-level and workbook-level names, search
// that wraps around, saves that write a file, print-outs recorded. Calls
// change the model, so tests read the outcome from it.
class ScriptedExcel
{
public:
    static const QString CLASS_ID;

    using Position = QPair<int, int>; // row, column; 1-based
    struct Cell
    {
        QVariant value;
        QString formula;
        QString format = QStringLiteral("General");
    };
    struct Name
    {
        QString name; // as Excel lists it: "'Sheet 1'!Print_Area"
        QString value; // "='Sheet 1'!$A$1:$D$20"
    };
    struct Sheet
    {
        QString name;
        QMap<Position, Cell> cells;
        QString printArea; // what the page setup reports
        QString printTitleRows;
        QList<Name> names;
    };
    struct Book
    {
        QString fullName;
        QList<Sheet> sheets;
        QMap<QString, QString> names; // workbook-level name -> "<sheet>!<address>"
        bool open = true;
    };

    explicit ScriptedExcel(ScriptedAutomationBackend &server);

    // A sheet with cells given by address ("B2" -> value).
    static Sheet sheet(const QString &name, const QMap<QString, QVariant> &values = {});
    static Position position(const QString &address); // (0, 0) when not an address
    static QString address(const Position &cell); // "$A$1"

    // Open(path) gives a copy of files[path]; a path not listed opens as one
    // empty sheet when the file exists; paths in unopenable give nothing.
    QMap<QString, Book> files;
    QStringList unopenable;
    QList<Book> books; // every workbook ever open, "B<n>" is books[n - 1]
    bool savesWriteNothing = false;
    bool quit = false;
    QString version = QStringLiteral("16.0");
    QStringList closed; // "<full name> save=<true|false>" in call order
    QStringList deletedNames; // sheet-level names deleted, in call order
    // Runs after every cell write, for formulas the test computes itself.
    std::function<void(Sheet &)> recalculate;

    int openBooks() const;
    Book *bookNamed(const QString &fullName);

private:
    struct Area
    {
        Position from, to;
    };
    static Area area(const QString &address);
    static QString areaText(const Area &area);
    QVariant answer(const QString &object, const QString &member, const QVariantList &args);
    QVariant answerBook(const QStringList &path, const QString &member, const QVariantList &args);
    QVariant answerSheet(const QStringList &path, const QString &member, const QVariantList &args);
    QVariant answerRange(const QStringList &path, const QString &member, const QVariantList &args);
    QVariant answerCells(const QStringList &path, const QString &member, const QVariantList &args);
    QVariant openBook(const QString &path);
    bool writeFile(const QString &path);
    void set(const QString &object, const QString &name, const QVariant &value);
    QString rangeObject(const QStringList &path, const Area &area) const;
    QList<Position> matches(const Sheet &sheet, const QString &value) const;
    Sheet *sheetAt(const QStringList &path);

    QString m_lastSearch;
};
