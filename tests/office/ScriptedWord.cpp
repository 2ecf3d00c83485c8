#include "ScriptedWord.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

// Object names: Word, Documents, Doc (the opened one), Doc#<i> (an item),
// Variables, Var:<name>, Fields, Tables, T<t>, T<t>.Rows, T<t>.R<r>,
// T<t>.R<r>.Cells, T<t>.R<r>.C<c>, ...C<c>.Range, ...Range.Fields,
// ...Fields.F<k>, ...F<k>.Code, T<t>.Range, T<t>.Range.Cells.

const QString ScriptedWord::CLASS_ID = QStringLiteral("{00000000-0000-0000-0000-00000000WORD}");

namespace {
const int WD_FIELD_DOC_VARIABLE = 64;
const int WD_FIELD_PAGE = 33;
const QString END_OF_CELL = QStringLiteral("\r") + QChar(7);

int number(const QString &part) { return part.mid(1).toInt(); }
} // namespace

ScriptedWord::ScriptedWord(ScriptedAutomationBackend &server)
{
    server.addServer(QStringLiteral("Word.Application"), CLASS_ID, QStringLiteral("WordServer"));
    server.setCoClass(QStringLiteral("WordServer"), QStringLiteral("Application"));
    server.setCoClass(QStringLiteral("Word"), QStringLiteral("Application"));
    server.setCoClass(QStringLiteral("Documents"), QStringLiteral("Documents"));
    server.setCoClass(QStringLiteral("Doc"), QStringLiteral("Document"));
    server.setFallback([this](const QString &object, const QString &member, const QVariantList &args) {
        return answer(object, member, args);
    });
}

QString ScriptedWord::docVariable(const QString &name)
{
    return QStringLiteral(" DOCVARIABLE %1 \\* MERGEFORMAT ").arg(name);
}

ScriptedWord::Row ScriptedWord::row(const QStringList &codes)
{
    Row cells;
    for (int index = 0; index < codes.size(); ++index) {
        Cell cell;
        cell.column = index + 1;
        if (!codes.at(index).isEmpty())
            cell.fieldCodes.append(codes.at(index));
        cells.append(cell);
    }
    return cells;
}

QString ScriptedWord::variableName(int index) const
{
    const QStringList names = variables.keys();
    return index >= 1 && index <= names.size() ? names.at(index - 1) : QString();
}

QVariant ScriptedWord::answer(const QString &object, const QString &member, const QVariantList &args)
{
    const QVariant first = args.value(0);
    if (object == QLatin1String("WordServer") && member == QLatin1String("Application"))
        return QStringLiteral("Word");
    if (object == QLatin1String("Word")) {
        if (member == QLatin1String("Version"))
            return version;
        if (member == QLatin1String("Documents"))
            return QStringLiteral("Documents");
        return QVariant();
    }
    if (object == QLatin1String("Documents")) {
        if (member == QLatin1String("Count"))
            return documents.size();
        if (member == QLatin1String("Item(QVariant)"))
            return first.toInt() >= 1 && first.toInt() <= documents.size() ? QStringLiteral("Doc#%1").arg(first.toInt())
                                                                           : QString();
        if (member.startsWith(QLatin1String("Open("))) {
            documents.append(first.toString());
            return QStringLiteral("Doc");
        }
        return QVariant();
    }
    if (object.startsWith(QLatin1String("Doc#")) && member == QLatin1String("FullName()"))
        return documents.value(object.mid(4).toInt() - 1);
    if (object == QLatin1String("Doc")) {
        if (member == QLatin1String("Variables()") || member == QLatin1String("Fields()")
            || member == QLatin1String("Tables()"))
            return member.chopped(2);
        if (member == QLatin1String("Close()"))
            documents.removeLast();
        if (member.startsWith(QLatin1String("SaveAs("))) {
            // Word writes the file; a scripted failure answers the same and writes nothing.
            QFile file(QDir::fromNativeSeparators(first.toString()));
            if (saveWrites && file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write("saved by the scripted Word");
            return true;
        }
        return QVariant();
    }
    if (object == QLatin1String("Variables")) {
        if (member == QLatin1String("Add(QVariant,QVariant)")) {
            variables.insert(first.toString(), args.value(1).toString());
            return true;
        }
        if (member == QLatin1String("Count()"))
            return variables.size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("Var:") + variableName(first.toInt());
        return QVariant();
    }
    if (object.startsWith(QLatin1String("Var:"))) {
        const QString name = object.mid(4);
        if (member == QLatin1String("Name()"))
            return name;
        if (member == QLatin1String("Value()"))
            return variables.value(name);
        return QVariant();
    }
    if (object == QLatin1String("Fields")) {
        if (member == QLatin1String("Count()"))
            return bodyFieldCodes.size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("DocF%1").arg(first.toInt());
        return QVariant();
    }
    if (object.startsWith(QLatin1String("DocF"))) {
        const QString code = bodyFieldCodes.value(object.mid(4).section(QLatin1Char('.'), 0, 0).toInt() - 1);
        if (member == QLatin1String("Type()"))
            return code.contains(QLatin1String("DOCVARIABLE")) ? WD_FIELD_DOC_VARIABLE : WD_FIELD_PAGE;
        if (member == QLatin1String("Code()"))
            return object + QStringLiteral(".Code");
        if (member == QLatin1String("Text()"))
            return code;
        return QVariant();
    }
    if (object == QLatin1String("Tables")) {
        if (member == QLatin1String("Count()"))
            return tables.size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("T%1").arg(first.toInt());
        return QVariant();
    }
    if (object.startsWith(QLatin1Char('T')))
        return answerTable(object.split(QLatin1Char('.')), member, args);
    return QVariant();
}

QVariant ScriptedWord::answerTable(const QStringList &path, const QString &member, const QVariantList &args)
{
    const int tableNumber = number(path.at(0));
    if (tableNumber < 1 || tableNumber > tables.size())
        return QVariant();
    Table &table = tables[tableNumber - 1];
    const QString object = path.join(QLatin1Char('.'));
    const int index = args.value(0).toInt();
    if (path.size() == 1) {
        if (member == QLatin1String("Rows()"))
            return table.hasRowCollection ? object + QStringLiteral(".Rows") : QString();
        if (member == QLatin1String("Range()"))
            return object + QStringLiteral(".Range");
        return QVariant();
    }
    if (path.size() == 2 && path.at(1) == QLatin1String("Rows")) {
        if (member == QLatin1String("Count()"))
            return table.rows.size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("%1.R%2").arg(path.at(0)).arg(index);
        return QVariant();
    }
    if (path.size() == 2 && path.at(1) == QLatin1String("Range")) {
        if (member == QLatin1String("Cells()"))
            return object + QStringLiteral(".Cells");
        return QVariant();
    }
    if (path.size() == 3 && path.at(1) == QLatin1String("Range")) {
        int cells = 0;
        for (const Row &row : table.rows)
            cells += row.size();
        if (member == QLatin1String("Count()"))
            return cells;
        if (member == QLatin1String("Item(QVariant)"))
            return cellByRangeIndex(tableNumber, index);
        return QVariant();
    }
    const int rowNumber = number(path.at(1));
    if (rowNumber < 1 || rowNumber > table.rows.size())
        return QVariant();
    if (path.size() == 2) {
        if (member == QLatin1String("Cells()"))
            return object + QStringLiteral(".Cells");
        if (member == QLatin1String("Delete()")) {
            deletedRows.append(object);
            table.rows.removeAt(rowNumber - 1);
        }
        return QVariant();
    }
    if (path.size() == 3 && path.at(2) == QLatin1String("Cells")) {
        if (member == QLatin1String("Count()"))
            return table.rows.at(rowNumber - 1).size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("%1.%2.C%3").arg(path.at(0), path.at(1)).arg(index);
        return QVariant();
    }
    return answerCell(path, member, args);
}

QString ScriptedWord::cellByRangeIndex(int table, int index) const
{
    int seen = 0;
    const QList<Row> &rows = tables.at(table - 1).rows;
    for (int row = 0; row < rows.size(); ++row) {
        if (index <= seen + rows.at(row).size())
            return QStringLiteral("T%1.R%2.C%3").arg(table).arg(row + 1).arg(index - seen);
        seen += rows.at(row).size();
    }
    return QString();
}

const ScriptedWord::Cell *ScriptedWord::cellAt(const QStringList &path) const
{
    const Row &row = tables.at(number(path.at(0)) - 1).rows.at(number(path.at(1)) - 1);
    const int cellNumber = number(path.at(2));
    return cellNumber >= 1 && cellNumber <= row.size() ? &row.at(cellNumber - 1) : nullptr;
}

QVariant ScriptedWord::answerCell(const QStringList &path, const QString &member, const QVariantList &args)
{
    const Cell *cell = cellAt(path);
    if (!cell)
        return QVariant();
    const QString object = path.join(QLatin1Char('.'));
    const int index = args.value(0).toInt();
    if (path.size() == 3) {
        if (member == QLatin1String("Range()"))
            return object + QStringLiteral(".Range");
        if (member == QLatin1String("RowIndex()"))
            return number(path.at(1));
        if (member == QLatin1String("ColumnIndex()"))
            return cell->column;
        return QVariant();
    }
    if (path.size() == 4) { // the cell's range
        if (member == QLatin1String("Fields()"))
            return object + QStringLiteral(".Fields");
        if (member == QLatin1String("Text()"))
            return cell->text + END_OF_CELL;
        return QVariant();
    }
    if (path.size() == 5) { // the range's fields
        if (member == QLatin1String("Count()"))
            return cell->fieldCodes.size();
        if (member == QLatin1String("Item(QVariant)"))
            return QStringLiteral("%1.F%2").arg(object).arg(index);
        return QVariant();
    }
    const QString code = cell->fieldCodes.value(number(path.at(5)) - 1);
    if (path.size() == 6) {
        if (member == QLatin1String("Type()"))
            return code.contains(QLatin1String("DOCVARIABLE")) ? WD_FIELD_DOC_VARIABLE : WD_FIELD_PAGE;
        if (member == QLatin1String("Code()"))
            return object + QStringLiteral(".Code");
        return QVariant();
    }
    if (member == QLatin1String("Text()"))
        return code;
    return QVariant();
}
