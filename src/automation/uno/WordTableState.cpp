#include "WordTableState.h"

#include "UnoRuntime.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextTable.hpp>

#include <QRegularExpression>
#include <algorithm>

using namespace css;

namespace {

// "B3" -> column 2, row 3. Column letters run A-Z, then a-z.
bool parseCellName(const QString &name, int *row, int *column)
{
    static const QRegularExpression simple(QStringLiteral("^([A-Za-z]+)(\\d+)$"));
    const QRegularExpressionMatch match = simple.match(name);
    if (!match.hasMatch())
        return false;
    int letters = 0;
    for (const QChar letter : match.capturedRef(1)) {
        const int digit = letter.isUpper() ? letter.unicode() - 'A' + 1 : letter.unicode() - 'a' + 27;
        letters = letters * 52 + digit;
    }
    *row = match.capturedRef(2).toInt();
    *column = letters;
    return true;
}

bool isCoveredByVerticalMerge(UnoObject &cell)
{
    sal_Int32 rowSpan = 1;
    try {
        cell.as<beans::XPropertySet>()->getPropertyValue("RowSpan") >>= rowSpan;
    } catch (const uno::Exception &) {
        return false;
    }
    return rowSpan < 1;
}

// The cell's text, paragraph by paragraph, portion by portion.
WordFieldList fieldsIn(UnoObject &cell)
{
    WordFieldList fields;
    const uno::Reference<container::XEnumeration> eachParagraph =
            cell.as<container::XEnumerationAccess>()->createEnumeration();
    while (eachParagraph->hasMoreElements()) {
        const auto portions = interfaceOf<container::XEnumerationAccess>(eachParagraph->nextElement());
        if (!portions.is())
            continue; // a nested table
        const uno::Reference<container::XEnumeration> eachPortion = portions->createEnumeration();
        while (eachPortion->hasMoreElements()) {
            const auto portion = interfaceOf<beans::XPropertySet>(eachPortion->nextElement());
            if (!portion.is() || portion->getPropertyValue("TextPortionType").get<rtl::OUString>() != "TextField")
                continue;
            const auto field = interfaceOf<text::XTextField>(portion->getPropertyValue("TextField"));
            fields.append(std::make_shared<WordFieldEntry>(UnoObject(field)));
        }
    }
    return fields;
}

} // namespace

void WordCellEntry::updatePosition(int documentRevision)
{
    if (revision == documentRevision)
        return;
    const QString current =
            toQString(cell.as<beans::XPropertySet>()->getPropertyValue("CellName").get<rtl::OUString>());
    if (parseCellName(current, &row, &column))
        name = current;
    revision = documentRevision;
}

WordFieldList &WordCellEntry::cellFields(int documentRevision)
{
    return fields.get(documentRevision, [this] { return fieldsIn(cell); });
}

WordTableState::WordTableState(UnoObject table)
    : m_table(std::move(table))
{ }

uno::Reference<table::XTableRows> WordTableState::rows()
{
    if (!m_rows.is())
        m_rows = m_table.as<text::XTextTable>()->getRows();
    return m_rows;
}

uno::Reference<table::XTableColumns> WordTableState::columns()
{
    if (!m_columns.is())
        m_columns = m_table.as<text::XTextTable>()->getColumns();
    return m_columns;
}

int WordTableState::rowCount(int documentRevision)
{
    return m_rowCount.get(documentRevision, [this] { return int(rows()->getCount()); });
}

int WordTableState::columnCount(int documentRevision)
{
    return m_columnCount.get(documentRevision, [this] { return int(columns()->getCount()); });
}

const WordTableLayout &WordTableState::layout(int documentRevision)
{
    return m_layout.get(documentRevision, [&] { return readLayout(documentRevision); });
}

WordTableLayout WordTableState::readLayout(int documentRevision)
{
    WordTableLayout layout;
    const uno::Reference<text::XTextTable> table = m_table.as<text::XTextTable>();
    const uno::Sequence<rtl::OUString> names = table->getCellNames();
    for (const rtl::OUString &name : names) {
        auto entry = std::make_shared<WordCellEntry>();
        entry->name = toQString(name);
        entry->revision = documentRevision;
        if (!parseCellName(entry->name, &entry->row, &entry->column))
            continue;
        entry->cell = UnoObject(table->getCellByName(name));
        if (entry->cell.is() && !isCoveredByVerticalMerge(entry->cell))
            layout.cells.append(entry);
    }
    std::sort(layout.cells.begin(), layout.cells.end(),
              [](const std::shared_ptr<WordCellEntry> &a, const std::shared_ptr<WordCellEntry> &b) {
                  return a->row != b->row ? a->row < b->row : a->column < b->column;
              });
    return layout;
}
