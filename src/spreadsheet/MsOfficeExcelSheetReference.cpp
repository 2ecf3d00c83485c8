#include "MsOfficeExcelSheetReference.h"

#include <QRegularExpression>

namespace MsOfficeExcel {

namespace {
const QLatin1Char APOSTROPHE('\'');
const QLatin1Char AREA_SEPARATOR(',');
const QLatin1Char SHEET_MARK('!');
} // namespace

QString SheetReference::quoted(const QString &sheet)
{
    QString doubled = sheet;
    doubled.replace(APOSTROPHE, QStringLiteral("''"));
    return APOSTROPHE + doubled + APOSTROPHE;
}

bool SheetReference::isLocalName(const QString &itemName, const QString &sheet, const QString &name)
{
    return itemName == quoted(sheet) + SHEET_MARK + name || itemName == sheet + SHEET_MARK + name || itemName == name;
}

QStringList SheetReference::splitAreas(const QString &reference)
{
    // Commas inside a quoted sheet name do not separate areas; a doubled
    // apostrophe toggles twice and so keeps the quoting as it was.
    QStringList areas;
    QString area;
    bool inQuotes = false;
    for (const QChar c : reference) {
        if (c == APOSTROPHE)
            inQuotes = !inQuotes;
        if (c == AREA_SEPARATOR && !inQuotes) {
            areas.append(area);
            area.clear();
            continue;
        }
        area.append(c);
    }
    areas.append(area);
    return areas;
}

QString SheetReference::localAreas(const QString &reference, const QString &sheet)
{
    const QString body = reference.startsWith(QLatin1Char('=')) ? reference.mid(1) : reference;
    const QStringList prefixes{quoted(sheet) + SHEET_MARK, sheet + SHEET_MARK};
    QStringList local;
    for (QString area : splitAreas(body)) {
        for (const QString &prefix : prefixes) {
            if (area.startsWith(prefix)) {
                area.remove(0, prefix.size());
                break;
            }
        }
        if (!area.isEmpty() && !area.contains(SHEET_MARK))
            local.append(area);
    }
    return local.join(AREA_SEPARATOR);
}

QString SheetReference::rowAreas(const QString &areas)
{
    static const QRegularExpression rows(QStringLiteral("^\\$?\\d+(:\\$?\\d+)?$"));
    QStringList kept;
    for (const QString &area : areas.split(AREA_SEPARATOR, Qt::SkipEmptyParts)) {
        if (rows.match(area).hasMatch())
            kept.append(area);
    }
    return kept.join(AREA_SEPARATOR);
}

} // namespace MsOfficeExcel
