#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

// Workbooks for tests, written as a small SpreadsheetML package (through
// DocxTestPackage's independent ZIP writer) and read back the same way:
// sheets of cells, styles for dates, money and percentages, defined names.
class XlsxTestPackage
{
public:
    enum class Style { General, Date, Money, Percent };
    struct Cell
    {
        // A number, text, a boolean, a date, or "=<formula>" (Excel's syntax, no cached result).
        QVariant value;
        Style style = Style::General;
    };
    struct Sheet
    {
        QString name;
        QMap<QString, Cell> cells; // by address, "B2"
    };
    struct Name
    {
        QString name; // "_xlnm.Print_Area" for a print area
        int sheet = -1; // the sheet's index for a sheet-level name
        QString refersTo; // "'Sheet 1'!$A$1:$D$20"
    };

    static bool write(const QString &path, const QList<Sheet> &sheets, const QList<Name> &names = {});

    // What a package's sheets hold as written: per cell, a formula's text
    // (without "=") or a constant (number, text, boolean). Shared formulas
    // other than their first cell carry no text and are left out.
    struct Written
    {
        QString formula;
        QVariant value;
    };
    struct WrittenSheet
    {
        QString name;
        QMap<QString, Written> cells;
    };
    static QList<WrittenSheet> read(const QString &path);
    // The defined names of a package as "<sheet index or -1> <name> = <reference>", in file order.
    static QStringList definedNames(const QString &path);
};
