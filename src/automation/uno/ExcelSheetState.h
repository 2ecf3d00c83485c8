#pragma once

#include "Revisioned.h"
#include "UnoObject.h"

#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QList>
#include <QString>

class ExcelSession;
class ExcelWorkbookState;

// One sheet of an open workbook: the office's sheet with the interfaces
// asked of it, its name, and its sheet-level names as Excel shows them.
//
// The office keeps print areas and title rows and columns as settings of
// the sheet (what it prints and what it writes back to a file); Excel keeps
// them as the sheet-level names Print_Area and Print_Titles. Those names
// are made here from the settings, and deleting one clears the setting.
// The names the office made of them on import ("_xlnm.Print_Area") would
// otherwise show twice and outlive the settings: they are hidden, and
// dropped whenever the setting changes.
class ExcelSheetState
{
public:
    ExcelSheetState(UnoObject sheet, int index);

    UnoObject &sheet();
    int index() const;
    // Read once: the emulation never renames a sheet.
    const QString &name();

    QList<css::table::CellRangeAddress> printAreas();
    void setPrintAreas(const QList<css::table::CellRangeAddress> &areas);
    // Rows and columns repeated on every page; false when there are none.
    bool titleRows(css::table::CellRangeAddress *rows);
    bool titleColumns(css::table::CellRangeAddress *columns);
    void setTitleRows(const css::table::CellRangeAddress *rows);
    void clearTitleColumns();

    struct Name
    {
        enum class Kind { Defined, PrintArea, PrintTitles };
        Kind kind = Kind::Defined;
        QString local; // "Print_Area", or the defined name
    };
    // Sorted by name without regard to case, as Excel lists them.
    const QList<Name> &names(int revision);
    // "'Sheet 1'!Print_Area".
    QString qualified(const Name &name);
    // "='Sheet 1'!$A$1:$D$20".
    QString value(const Name &name, ExcelWorkbookState &workbook, ExcelSession &session);
    void remove(const Name &name);
    // A sheet-level defined name, found without regard to case; empty when none.
    UnoObject definedName(const QString &local);

    // The last Find's search, which FindNext goes on with.
    UnoObject lastSearch;

private:
    UnoObject &localNames();
    void dropImported(const char *name);

    UnoObject m_sheet;
    int m_index;
    bool m_nameRead = false;
    QString m_name;
    UnoObject m_localNames;
    Revisioned<QList<Name>> m_names;
};
