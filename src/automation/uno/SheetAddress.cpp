#include "SheetAddress.h"

#include <QRegularExpression>

using css::table::CellRangeAddress;

namespace SheetAddress {

namespace {

const QLatin1Char APOSTROPHE('\'');

// A column name to its index; -1 past the last column.
int columnIndex(const QString &letters)
{
    int column = 0;
    for (const QChar c : letters) {
        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
        if (column > MAX_COLUMNS)
            return -1;
    }
    return column - 1;
}

int rowIndex(const QString &digits)
{
    bool ok = false;
    const int row = digits.toInt(&ok);
    return ok && row >= 1 && row <= MAX_ROWS ? row - 1 : -1;
}

bool isWholeColumns(const CellRangeAddress &area) { return area.StartRow == 0 && area.EndRow >= MAX_ROWS - 1; }

bool isWholeRows(const CellRangeAddress &area) { return area.StartColumn == 0 && area.EndColumn >= MAX_COLUMNS - 1; }

bool needsQuotes(const QString &sheet)
{
    // Excel leaves names of letters, digits, "_" and "." bare, unless they
    // start with a digit or read as a cell reference.
    static const QRegularExpression reference(QStringLiteral("^([A-Za-z]{1,3}\\d+|[Rr]\\d*[Cc]\\d*)$"));
    if (sheet.isEmpty() || sheet.at(0).isDigit() || reference.match(sheet).hasMatch())
        return true;
    for (const QChar c : sheet) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('.'))
            return true;
    }
    return false;
}

} // namespace

QString columnName(int column)
{
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar('A' + (n - 1) % 26));
    return name;
}

QString absolute(const CellRangeAddress &area)
{
    if (isWholeColumns(area) && !isWholeRows(area))
        return QStringLiteral("$%1:$%2").arg(columnName(area.StartColumn), columnName(area.EndColumn));
    if (isWholeRows(area) && !isWholeColumns(area))
        return QStringLiteral("$%1:$%2").arg(area.StartRow + 1).arg(area.EndRow + 1);
    const QString first = QStringLiteral("$%1$%2").arg(columnName(area.StartColumn)).arg(area.StartRow + 1);
    if (area.StartColumn == area.EndColumn && area.StartRow == area.EndRow)
        return first;
    return first + QStringLiteral(":$%1$%2").arg(columnName(area.EndColumn)).arg(area.EndRow + 1);
}

bool parse(const QString &text, CellRangeAddress *area)
{
    static const QRegularExpression cells(
            QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?(\\d{1,7})(?::\\$?([A-Za-z]{1,3})\\$?(\\d{1,7}))?$"));
    static const QRegularExpression columns(QStringLiteral("^\\$?([A-Za-z]{1,3}):\\$?([A-Za-z]{1,3})$"));
    static const QRegularExpression rows(QStringLiteral("^\\$?(\\d{1,7}):\\$?(\\d{1,7})$"));
    int c1 = 0, r1 = 0, c2 = MAX_COLUMNS - 1, r2 = MAX_ROWS - 1;
    QRegularExpressionMatch match = cells.match(text);
    if (match.hasMatch()) {
        c1 = columnIndex(match.captured(1));
        r1 = rowIndex(match.captured(2));
        const bool single = match.captured(3).isEmpty();
        c2 = single ? c1 : columnIndex(match.captured(3));
        r2 = single ? r1 : rowIndex(match.captured(4));
    } else if ((match = columns.match(text)).hasMatch()) {
        c1 = columnIndex(match.captured(1));
        c2 = columnIndex(match.captured(2));
    } else if ((match = rows.match(text)).hasMatch()) {
        r1 = rowIndex(match.captured(1));
        r2 = rowIndex(match.captured(2));
    } else {
        return false;
    }
    if (c1 < 0 || r1 < 0 || c2 < 0 || r2 < 0)
        return false;
    // Excel orders the corners whichever way they were written.
    area->StartColumn = qMin(c1, c2);
    area->EndColumn = qMax(c1, c2);
    area->StartRow = qMin(r1, r2);
    area->EndRow = qMax(r1, r2);
    return true;
}

QString sheetPrefix(const QString &sheet)
{
    if (!needsQuotes(sheet))
        return sheet + QLatin1Char('!');
    QString doubled = sheet;
    doubled.replace(APOSTROPHE, QStringLiteral("''"));
    return APOSTROPHE + doubled + APOSTROPHE + QLatin1Char('!');
}

QStringList splitAreas(const QString &text)
{
    // A doubled apostrophe inside a quoted name toggles twice: the quoting stays.
    QStringList areas;
    QString area;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == APOSTROPHE)
            quoted = !quoted;
        if (c == QLatin1Char(',') && !quoted) {
            areas.append(area);
            area.clear();
            continue;
        }
        area.append(c);
    }
    areas.append(area);
    return areas;
}

bool parseAreas(const QString &text, const QString &sheet, QList<CellRangeAddress> *areas)
{
    const QString body = text.startsWith(QLatin1Char('=')) ? text.mid(1) : text;
    for (QString area : splitAreas(body)) {
        area = area.trimmed();
        const int mark = area.lastIndexOf(QLatin1Char('!'));
        if (mark >= 0) {
            QString named = area.left(mark);
            if (named.size() >= 2 && named.startsWith(APOSTROPHE) && named.endsWith(APOSTROPHE))
                named = named.mid(1, named.size() - 2).replace(QStringLiteral("''"), QString(APOSTROPHE));
            if (named.compare(sheet, Qt::CaseInsensitive) != 0)
                return false;
            area = area.mid(mark + 1);
        }
        CellRangeAddress parsed;
        if (!parse(area, &parsed))
            return false;
        areas->append(parsed);
    }
    return true;
}

} // namespace SheetAddress
