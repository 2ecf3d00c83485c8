#pragma once

#include "WordDocumentState.h"

#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>

// Where a cell of a table stands (its office name, "B3", and Word's 1-based
// row and column) and what was learnt of it.
struct WordCellEntry
{
    QString name;
    int row = 0;
    int column = 0;
    int revision = 0; // the document's revision the position was read at
    UnoObject cell;
    Revisioned<WordFieldList> fields;

    // Follows the cell when rows or columns were deleted since.
    void updatePosition(int documentRevision);
    // The fields in the cell's text, in reading order.
    WordFieldList &cellFields(int documentRevision);
};

using WordCellEntries = QList<std::shared_ptr<WordCellEntry>>;

// A table's shape as Word counts it: cells row by row, left to right; a
// cell covered by a vertical merge is not a cell of its own.
struct WordTableLayout
{
    WordCellEntries cells;
};

// One office text table and its layout, read once per document revision:
// Cells.Count and every Cells.Item of a row or of the whole table answer
// from it instead of reading the table's cells again.
class WordTableState
{
public:
    explicit WordTableState(UnoObject table);

    const WordTableLayout &layout(int documentRevision);
    int rowCount(int documentRevision);
    int columnCount(int documentRevision);
    css::uno::Reference<css::table::XTableRows> rows();
    css::uno::Reference<css::table::XTableColumns> columns();

private:
    WordTableLayout readLayout(int documentRevision);

    UnoObject m_table;
    css::uno::Reference<css::table::XTableRows> m_rows;
    css::uno::Reference<css::table::XTableColumns> m_columns;
    Revisioned<int> m_rowCount;
    Revisioned<int> m_columnCount;
    Revisioned<WordTableLayout> m_layout;
};
