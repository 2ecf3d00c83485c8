#pragma once

#include "ExcelSheetState.h"
#include "OfficeDocumentState.h"
#include "UnoObject.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>

class ExcelSession;

// What the emulation keeps of one open workbook: the office's objects asked
// for once (the sheets, the number formats, a formula parser speaking
// Excel's language) and what never changes while it is open (its sheets:
// the emulation neither adds nor renames any; its number formats by key).
// Changes the emulation makes to names and print settings count the
// revision up, and what was read of them at an older revision is read again.
class ExcelWorkbookState : public OfficeDocumentState
{
public:
    ExcelWorkbookState(const css::uno::Reference<css::lang::XComponent> &component,
                       const css::uno::Reference<css::uno::XInterface> &identity);

    // Tab order.
    const QList<std::shared_ptr<ExcelSheetState>> &sheets();
    // Without regard to letter case, as Excel finds sheets; null when none.
    std::shared_ptr<ExcelSheetState> sheetNamed(const QString &name);
    std::shared_ptr<ExcelSheetState> sheetAt(int index);

    struct Format
    {
        QString code;
        short type = 0; // css::util::NumberFormat bits
    };
    const Format &format(int key);
    // The key of a format code, added to the workbook when new.
    int formatKey(const QString &code);
    int booleanFormat();
    int dateTimeFormat();
    // Day 0 of the workbook's serial dates (1899-12-30, or 1904-01-01).
    QDate nullDate();

    // Parses and prints formulas as Excel writes them (English names, "," between arguments).
    UnoObject &formulaParser(ExcelSession &session);
    // A workbook-level defined name, found without regard to case; empty when none.
    UnoObject definedName(const QString &name);

private:
    UnoObject &numberFormats();
    UnoObject &namedRanges();
    int standardFormat(short type, int *cached);

    bool m_sheetsRead = false;
    QList<std::shared_ptr<ExcelSheetState>> m_sheets;
    UnoObject m_numberFormats;
    QHash<int, Format> m_formats;
    QHash<QString, int> m_keys;
    int m_booleanFormat = -1;
    int m_dateTimeFormat = -1;
    QDate m_nullDate;
    UnoObject m_formulaParser;
    UnoObject m_namedRanges;
};
