#pragma once

#include <QString>
#include <QStringList>

namespace MsOfficeExcel {

// Sheet-qualified references as Excel writes them in defined names: the
// sheet name bare (Sheet1!$A$1) or, when it has blanks, punctuation or
// starts with a digit, in apostrophes with inner apostrophes doubled
// ('L''E'!$A$1). Areas of a union are separated by commas.
class SheetReference
{
public:
    SheetReference() = delete;

    // 'name' with every apostrophe doubled.
    static QString quoted(const QString &sheet);
    // Whether a sheet-level name item called `itemName` is `name` of `sheet`:
    // qualified in either form, or bare.
    static bool isLocalName(const QString &itemName, const QString &sheet, const QString &name);
    // The areas of a name's value ("='Sheet 1'!$A$1:$D$20,'Sheet 1'!$F$1")
    // without the leading "=" and the sheet qualifier, as a page setup takes
    // them ("$A$1:$D$20,$F$1"). Areas on another sheet or broken ones (#REF!)
    // cannot be page settings of this sheet and are left out.
    static QString localAreas(const QString &reference, const QString &sheet);
    // Only the row areas ("$1:$3") of a list of areas: title rows cannot hold columns.
    static QString rowAreas(const QString &areas);

private:
    static QStringList splitAreas(const QString &reference);
};

} // namespace MsOfficeExcel
