#include "ScriptedExcel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

// Object names: ExcelServer, Excel, Workbooks, B<n> (a workbook),
// B<n>|Sheets, B<n>|Names, B<n>|WN|<name>, B<n>|S<j> (a sheet),
// B<n>|S<j>|Names, B<n>|S<j>|N|<k>, B<n>|S<j>|PageSetup, B<n>|S<j>|Cells,
// B<n>|S<j>|R|<r1>,<c1>,<r2>,<c2> (a range), ...|Rows, ...|Columns.

const QString ScriptedExcel::CLASS_ID = QStringLiteral("{00000000-0000-0000-0000-0000000EXCEL}");

namespace {
int number(const QString &part) { return part.mid(1).toInt(); }

QString columnName(int column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar('A' + (column - 1) % 26));
    return name;
}
} // namespace

ScriptedExcel::ScriptedExcel(ScriptedAutomationBackend &server)
{
    server.addServer(QStringLiteral("Excel.Application"), CLASS_ID, QStringLiteral("ExcelServer"));
    server.setCoClass(QStringLiteral("Excel"), QStringLiteral("Application"));
    server.setCoClass(QStringLiteral("Workbooks"), QStringLiteral("Workbooks"));
    server.setFallback([this](const QString &object, const QString &member, const QVariantList &args) {
        return answer(object, member, args);
    });
    server.setSetter(
            [this](const QString &object, const QString &name, const QVariant &value) { set(object, name, value); });
}

ScriptedExcel::Sheet ScriptedExcel::sheet(const QString &name, const QMap<QString, QVariant> &values)
{
    Sheet result;
    result.name = name;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        result.cells[position(it.key())].value = it.value();
    return result;
}

ScriptedExcel::Position ScriptedExcel::position(const QString &address)
{
    static const QRegularExpression a1(QStringLiteral("^\\$?([A-Z]{1,3})\\$?([0-9]{1,7})$"));
    const QRegularExpressionMatch match = a1.match(address);
    if (!match.hasMatch())
        return {0, 0};
    int column = 0;
    for (const QChar c : match.captured(1))
        column = column * 26 + (c.unicode() - 'A' + 1);
    return {match.captured(2).toInt(), column};
}

QString ScriptedExcel::address(const Position &cell)
{
    return QStringLiteral("$%1$%2").arg(columnName(cell.second)).arg(cell.first);
}

ScriptedExcel::Area ScriptedExcel::area(const QString &address)
{
    const QStringList corners = address.split(QLatin1Char(':'));
    if (corners.size() > 2)
        return {};
    const Position from = position(corners.first());
    const Position to = position(corners.last());
    if (from.first == 0 || to.first == 0)
        return {};
    return {from, to};
}

QString ScriptedExcel::areaText(const Area &area)
{
    return area.from == area.to ? address(area.from) : address(area.from) + QLatin1Char(':') + address(area.to);
}

int ScriptedExcel::openBooks() const
{
    int count = 0;
    for (const Book &book : books)
        count += book.open ? 1 : 0;
    return count;
}

ScriptedExcel::Book *ScriptedExcel::bookNamed(const QString &fullName)
{
    for (Book &book : books) {
        if (book.fullName == fullName)
            return &book;
    }
    return nullptr;
}

QVariant ScriptedExcel::openBook(const QString &path)
{
    if (unopenable.contains(path) || !QFileInfo::exists(path))
        return QString();
    Book book = files.value(path, Book{path, {sheet(QStringLiteral("Sheet1"))}, {}, true});
    book.fullName = path;
    book.open = true;
    books.append(book);
    return QStringLiteral("B%1").arg(books.size());
}

bool ScriptedExcel::writeFile(const QString &path)
{
    if (savesWriteNothing)
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("scripted workbook") > 0;
}

QVariant ScriptedExcel::answer(const QString &object, const QString &member, const QVariantList &args)
{
    if (object == QLatin1String("ExcelServer") && member == QLatin1String("Application"))
        return QStringLiteral("Excel");
    if (object == QLatin1String("Excel")) {
        if (member == QLatin1String("Version"))
            return version;
        if (member == QLatin1String("Workbooks"))
            return QStringLiteral("Workbooks");
        if (member == QLatin1String("Quit()"))
            quit = true;
        return QVariant();
    }
    if (object == QLatin1String("Workbooks")) {
        if (member == QLatin1String("Count"))
            return openBooks();
        if (member == QLatin1String("Open(QVariant,QVariant,QVariant)"))
            return openBook(args.value(0).toString());
        return QVariant();
    }
    const QStringList path = object.split(QLatin1Char('|'));
    const int index = number(path.first()) - 1;
    if (!path.first().startsWith(QLatin1Char('B')) || index < 0 || index >= books.size() || !books.at(index).open)
        return QVariant();
    return answerBook(path, member, args);
}

QVariant ScriptedExcel::answerBook(const QStringList &path, const QString &member, const QVariantList &args)
{
    Book &book = books[number(path.first()) - 1];
    const QString object = path.join(QLatin1Char('|'));
    const QVariant first = args.value(0);
    if (path.size() == 1) {
        if (member == QLatin1String("FullName"))
            return book.fullName;
        if (member == QLatin1String("Worksheets") || member == QLatin1String("Names"))
            return object + QLatin1Char('|') + (member == QLatin1String("Names") ? member : QStringLiteral("Sheets"));
        if (member == QLatin1String("Save()"))
            return writeFile(book.fullName);
        if (member.startsWith(QLatin1String("SaveAs("))) {
            if (!writeFile(first.toString()))
                return false;
            book.fullName = first.toString();
            return true;
        }
        if (member == QLatin1String("SaveCopyAs(QVariant)"))
            return writeFile(first.toString());
        if (member == QLatin1String("Close(QVariant)")) {
            book.open = false;
            closed.append(QStringLiteral("%1 save=%2").arg(book.fullName, first.toBool() ? "true" : "false"));
        }
        return QVariant();
    }
    if (path.at(1) == QLatin1String("Sheets")) {
        if (member == QLatin1String("Count"))
            return book.sheets.size();
        if (member != QLatin1String("Item(QVariant)"))
            return QVariant();
        for (int j = 0; j < book.sheets.size(); ++j) {
            const bool byNumber = first.type() == QVariant::Int && first.toInt() == j + 1;
            const bool byName = first.type() == QVariant::String
                    && book.sheets.at(j).name.compare(first.toString(), Qt::CaseInsensitive) == 0;
            if (byNumber || byName)
                return QStringLiteral("%1|S%2").arg(path.first()).arg(j + 1);
        }
        return QString();
    }
    if (path.at(1) == QLatin1String("Names")) {
        if (member == QLatin1String("Item(QVariant)") && book.names.contains(first.toString()))
            return QStringLiteral("%1|WN|%2").arg(path.first(), first.toString());
        return QString();
    }
    if (path.at(1) == QLatin1String("WN") && member == QLatin1String("RefersToRange")) {
        const QString target = book.names.value(path.value(2));
        const QString sheetName = target.section(QLatin1Char('!'), 0, 0);
        for (int j = 0; j < book.sheets.size(); ++j) {
            if (book.sheets.at(j).name == sheetName)
                return rangeObject({path.first(), QStringLiteral("S%1").arg(j + 1)},
                                   area(target.section(QLatin1Char('!'), 1)));
        }
        return QString();
    }
    return answerSheet(path, member, args);
}

ScriptedExcel::Sheet *ScriptedExcel::sheetAt(const QStringList &path)
{
    Book &book = books[number(path.first()) - 1];
    const int j = number(path.value(1)) - 1;
    return j >= 0 && j < book.sheets.size() ? &book.sheets[j] : nullptr;
}

QString ScriptedExcel::rangeObject(const QStringList &path, const Area &area) const
{
    if (area.from.first == 0)
        return QString();
    return QStringLiteral("%1|%2|R|%3,%4,%5,%6")
            .arg(path.at(0), path.at(1))
            .arg(area.from.first)
            .arg(area.from.second)
            .arg(area.to.first)
            .arg(area.to.second);
}

QVariant ScriptedExcel::answerSheet(const QStringList &path, const QString &member, const QVariantList &args)
{
    Sheet *sheet = sheetAt(path);
    if (!sheet || !path.value(1).startsWith(QLatin1Char('S')))
        return QVariant();
    const QString object = path.join(QLatin1Char('|'));
    if (path.size() == 2) {
        if (member == QLatin1String("Name"))
            return sheet->name;
        if (member == QLatin1String("Range(QVariant)"))
            return rangeObject(path, area(args.value(0).toString()));
        if (member == QLatin1String("Range(QVariant,QVariant)")) {
            const Area first = area(args.value(0).toString());
            const Area second = area(args.value(1).toString());
            return rangeObject(path, Area{first.from, second.to});
        }
        if (member == QLatin1String("Cells") || member == QLatin1String("PageSetup")
            || member == QLatin1String("Names"))
            return object + QLatin1Char('|') + member;
        return QVariant();
    }
    const QString part = path.at(2);
    if (part == QLatin1String("PageSetup")) {
        if (member == QLatin1String("PrintArea"))
            return sheet->printArea;
        if (member == QLatin1String("PrintTitleRows"))
            return sheet->printTitleRows;
        return QVariant();
    }
    if (part == QLatin1String("Names") && path.size() == 3) {
        if (member == QLatin1String("Count"))
            return sheet->names.size();
        const int k = args.value(0).toInt();
        if (member == QLatin1String("Item(QVariant)") && k >= 1 && k <= sheet->names.size())
            return QStringLiteral("%1|%2|N|%3").arg(path.at(0), path.at(1)).arg(k);
        return QVariant();
    }
    if (part == QLatin1String("N")) {
        const int k = path.value(3).toInt();
        if (k < 1 || k > sheet->names.size())
            return QVariant();
        if (member == QLatin1String("Name"))
            return sheet->names.at(k - 1).name;
        if (member == QLatin1String("Value"))
            return sheet->names.at(k - 1).value;
        if (member == QLatin1String("Delete()"))
            deletedNames.append(sheet->names.takeAt(k - 1).name);
        return QVariant();
    }
    if (part == QLatin1String("Cells"))
        return answerCells(path, member, args);
    if (part == QLatin1String("R"))
        return answerRange(path, member, args);
    return QVariant();
}

QList<ScriptedExcel::Position> ScriptedExcel::matches(const Sheet &sheet, const QString &value) const
{
    QList<Position> found;
    for (auto it = sheet.cells.constBegin(); it != sheet.cells.constEnd(); ++it) {
        if (it->value.isValid() && it->value.toString() == value)
            found.append(it.key());
    }
    return found;
}

QVariant ScriptedExcel::answerCells(const QStringList &path, const QString &member, const QVariantList &args)
{
    // FindNext goes on with what the last Find looked for.
    if (member == QLatin1String("Find(QVariant)"))
        m_lastSearch = args.value(0).toString();
    const QList<Position> found = matches(*sheetAt(path), m_lastSearch);
    if (member == QLatin1String("Find(QVariant)"))
        return found.isEmpty() ? QString() : rangeObject(path, Area{found.first(), found.first()});
    if (member != QLatin1String("FindNext(QVariant)") || found.isEmpty())
        return QVariant();
    // After the given cell, wrapping around to the first match.
    const QStringList after = args.value(0).toString().split(QLatin1Char('|')).last().split(QLatin1Char(','));
    const Position previous{after.value(0).toInt(), after.value(1).toInt()};
    for (const Position &cell : found) {
        if (cell > previous)
            return rangeObject(path, Area{cell, cell});
    }
    return rangeObject(path, Area{found.first(), found.first()});
}

QVariant ScriptedExcel::answerRange(const QStringList &path, const QString &member, const QVariantList &args)
{
    Sheet *sheet = sheetAt(path);
    const QStringList corners = path.value(3).split(QLatin1Char(','));
    const Area range{{corners.value(0).toInt(), corners.value(1).toInt()},
                     {corners.value(2).toInt(), corners.value(3).toInt()}};
    const int rows = range.to.first - range.from.first + 1;
    const int columns = range.to.second - range.from.second + 1;
    if (path.size() == 5)
        return member == QLatin1String("Count") ? (path.at(4) == QLatin1String("Rows") ? rows : columns) : QVariant();
    if (member == QLatin1String("Rows") || member == QLatin1String("Columns"))
        return path.join(QLatin1Char('|')) + QLatin1Char('|') + member;
    if (member == QLatin1String("Count"))
        return rows * columns;
    if (member == QLatin1String("AddressLocal()"))
        return areaText(range);
    if (member == QLatin1String("Cells(QVariant, QVariant)")) {
        const Position cell{range.from.first + args.value(0).toInt() - 1,
                            range.from.second + args.value(1).toInt() - 1};
        return rangeObject(path, Area{cell, cell});
    }
    const Cell cell = sheet->cells.value(range.from);
    if (member == QLatin1String("Value")) {
        if (rows == 1 && columns == 1)
            return cell.value;
        QVariantList values;
        for (int r = range.from.first; r <= range.to.first; ++r) {
            QVariantList line;
            for (int c = range.from.second; c <= range.to.second; ++c)
                line.append(sheet->cells.value({r, c}).value);
            values.append(QVariant(line));
        }
        return values;
    }
    if (member == QLatin1String("Formula"))
        return cell.formula.isEmpty() ? cell.value.toString() : cell.formula;
    if (member == QLatin1String("NumberFormat"))
        return cell.format;
    return QVariant();
}

void ScriptedExcel::set(const QString &object, const QString &name, const QVariant &value)
{
    const QStringList path = object.split(QLatin1Char('|'));
    const int index = number(path.first()) - 1;
    if (path.size() < 3 || index < 0 || index >= books.size())
        return;
    Sheet *sheet = sheetAt(path);
    if (!sheet)
        return;
    if (path.at(2) == QLatin1String("PageSetup")) {
        if (name == QLatin1String("PrintArea"))
            sheet->printArea = value.toString();
        else if (name == QLatin1String("PrintTitleRows"))
            sheet->printTitleRows = value.toString();
        return;
    }
    if (path.at(2) != QLatin1String("R"))
        return;
    const QStringList corners = path.value(3).split(QLatin1Char(','));
    for (int r = corners.value(0).toInt(); r <= corners.value(2).toInt(); ++r) {
        for (int c = corners.value(1).toInt(); c <= corners.value(3).toInt(); ++c) {
            Cell &cell = sheet->cells[{r, c}];
            if (name == QLatin1String("Value")) {
                cell.value = value;
                cell.formula.clear();
            } else if (name == QLatin1String("Formula")) {
                cell.formula = value.toString();
            } else if (name == QLatin1String("NumberFormat")) {
                cell.format = value.toString();
            }
        }
    }
    if (recalculate)
        recalculate(*sheet);
}
