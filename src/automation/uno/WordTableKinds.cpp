// Word's Tables, a Table, its Rows and Columns, a Row, a Column, the table's
// Range, Cells, a Cell and a cell's Range, over the office's text tables.
// Cells are counted from the table's layout (WordTableState), read once per
// document revision.
#include "UnoRuntime.h"
#include "WordKinds.h"
#include "WordTableState.h"

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTable.hpp>

namespace WordKinds {

namespace {

using Answer = EmulatedObject::Answer;

struct OnTable
{
    OnDocument on;
    std::shared_ptr<WordTableState> table;

    void check() const { on.check(); }
    int revision() const { return on.document->revision(); }
};

// Rows or columns (`rows`), one of them (`index` from 1), or the whole table (`index` 0).
struct OnLine
{
    OnTable table;
    bool rows = true;
    int index = 0;

    void check() const { table.check(); }
    WordCellEntries cells() const
    {
        WordCellEntries found;
        for (const std::shared_ptr<WordCellEntry> &cell : table.table->layout(table.revision()).cells) {
            if (index == 0 || (rows ? cell->row : cell->column) == index)
                found.append(cell);
        }
        return found;
    }
};

struct OnCell
{
    OnTable table;
    std::shared_ptr<WordCellEntry> cell;

    void check() const { table.check(); }
    const WordCellEntry &placed() const
    {
        cell->updatePosition(table.revision());
        return *cell;
    }
};

Answer cellText(OnCell &cell, const QVariantList &)
{
    // Word ends paragraphs with a carriage return and a cell with CR + BEL.
    QString text = toQString(cell.cell->cell.as<css::text::XText>()->getString());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return Answer(text + QLatin1Char('\r') + QChar(7));
}

const ObjectKind<OnCell> CELL_RANGE("Range",
                                    {
                                            {"Text", &cellText},
                                            {"Fields",
                                             [](OnCell &cell, const QVariantList &) {
                                                 return Answer(cellFields(cell.table.on, cell.cell));
                                             }},
                                    });

const ObjectKind<OnCell>
        CELL("Cell",
             {
                     {"RowIndex", [](OnCell &cell, const QVariantList &) { return Answer(cell.placed().row); }},
                     {"ColumnIndex", [](OnCell &cell, const QVariantList &) { return Answer(cell.placed().column); }},
                     {"Range", [](OnCell &cell, const QVariantList &) { return Answer(CELL_RANGE.make(cell)); }},
             });

Answer cellAt(OnLine &line, const QVariantList &args)
{
    const WordCellEntries cells = line.cells();
    return Answer(CELL.make({line.table, cells.at(collectionIndex(args, cells.size()) - 1)}));
}

const ObjectKind<OnLine>
        CELLS("Cells",
              {
                      {"Count", [](OnLine &line, const QVariantList &) { return Answer(line.cells().size()); }},
                      {"Item", &cellAt},
              });

Answer lineCells(OnLine &line, const QVariantList &) { return Answer(CELLS.make(line)); }

Answer deleteLine(OnLine &line, const QVariantList &)
{
    if (line.rows)
        line.table.table->rows()->removeByIndex(line.index - 1, 1);
    else
        line.table.table->columns()->removeByIndex(line.index - 1, 1);
    // Every cell and field read so far may stand elsewhere now.
    line.table.on.document->changed();
    return Answer();
}

const ObjectKind<OnLine> ROW("Row", {{"Cells", &lineCells}, {"Delete", &deleteLine}});
const ObjectKind<OnLine> COLUMN("Column", {{"Cells", &lineCells}, {"Delete", &deleteLine}});
const ObjectKind<OnLine> TABLE_RANGE("Range", {{"Cells", &lineCells}});

int lineCount(OnLine &lines)
{
    return lines.rows ? lines.table.table->rowCount(lines.table.revision())
                      : lines.table.table->columnCount(lines.table.revision());
}

Answer lineAt(OnLine &lines, const QVariantList &args)
{
    const int index = collectionIndex(args, lineCount(lines));
    return Answer((lines.rows ? ROW : COLUMN).make({lines.table, lines.rows, index}));
}

Answer countLines(OnLine &lines, const QVariantList &) { return Answer(lineCount(lines)); }

const ObjectKind<OnLine> ROWS("Rows", {{"Count", &countLines}, {"Item", &lineAt}});
const ObjectKind<OnLine> COLUMNS("Columns", {{"Count", &countLines}, {"Item", &lineAt}});

const ObjectKind<OnTable> TABLE("Table",
                                {
                                        {"Rows",
                                         [](OnTable &table, const QVariantList &) {
                                             return Answer(ROWS.make({table, true, 0}));
                                         }},
                                        {"Columns",
                                         [](OnTable &table, const QVariantList &) {
                                             return Answer(COLUMNS.make({table, false, 0}));
                                         }},
                                        {"Range",
                                         [](OnTable &table, const QVariantList &) {
                                             return Answer(TABLE_RANGE.make({table, true, 0}));
                                         }},
                                });

Answer tableAt(OnDocument &on, const QVariantList &args)
{
    const css::uno::Reference<css::container::XIndexAccess> all = on.document->tables();
    const int index = collectionIndex(args, all->getCount());
    const auto table = interfaceOf<css::text::XTextTable>(all->getByIndex(index - 1));
    return Answer(TABLE.make({on, std::make_shared<WordTableState>(UnoObject(table))}));
}

const ObjectKind<OnDocument> TABLES("Tables",
                                    {
                                            {"Count",
                                             [](OnDocument &on, const QVariantList &) {
                                                 return Answer(int(on.document->tables()->getCount()));
                                             }},
                                            {"Item", &tableAt},
                                    });

} // namespace

std::shared_ptr<EmulatedObject> tables(const OnDocument &on) { return TABLES.make(on); }

} // namespace WordKinds
