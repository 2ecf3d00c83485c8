#pragma once

#include <com/sun/star/table/CellRangeAddress.hpp>

#include <QList>
#include <QString>
#include <QStringList>

// Cell references as Excel writes them: "$A$1", "$A$1:$D$20", whole rows
// "$1:$3" and columns "$A:$B"; sheet names bare (Sheet1!$A$1) or quoted
// when they need it ('Sheet 1'!$A$1, 'L''E'!$A$1); areas of a union joined
// by ",". Plain text work, no office involved.
namespace SheetAddress {

const int MAX_ROWS = 1048576;
const int MAX_COLUMNS = 16384;

QString columnName(int column); // 0 -> "A"
// The absolute form ("$A$1:$C$3"; one cell as "$A$1"; whole rows or columns shortened).
QString absolute(const css::table::CellRangeAddress &area);
// One area without a sheet name, "$" optional, any letter case: "b2", "$A$1:C3", "A:C", "1:3".
// The area's Sheet is left as it was. False for anything else.
bool parse(const QString &text, css::table::CellRangeAddress *area);
// "Sheet1!" or "'Sheet 1'!".
QString sheetPrefix(const QString &sheet);
// Splits a union at the commas outside quoted sheet names.
QStringList splitAreas(const QString &text);
// The areas of a union on `sheet` ("$A$1:$B$2,'Sheet 1'!$C$3"): each may
// name the sheet, no other. False when an area does not parse.
bool parseAreas(const QString &text, const QString &sheet, QList<css::table::CellRangeAddress> *areas);

} // namespace SheetAddress
