#include "WordTables.h"

#include "UnoRuntime.h"
#include "WordDocument.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>

#include <QRegularExpression>
#include <algorithm>

using namespace css;

namespace {

// "B3" -> column 2, row 3. Column letters run A-Z, then a-z.
bool parseCellName(const QString &name, WordCellPosition *position)
{
    static const QRegularExpression simple(QStringLiteral("^([A-Za-z]+)(\\d+)$"));
    const QRegularExpressionMatch match = simple.match(name);
    if (!match.hasMatch())
        return false;
    int column = 0;
    for (const QChar letter : match.captured(1)) {
        const int digit = letter.isUpper() ? letter.unicode() - 'A' + 1 : letter.unicode() - 'a' + 27;
        column = column * 52 + digit;
    }
    *position = WordCellPosition{name, match.captured(2).toInt(), column};
    return true;
}

bool isCoveredByVerticalMerge(const uno::Reference<text::XTextTable> &table, const QString &name)
{
    const uno::Reference<beans::XPropertySet> cell(table->getCellByName(toOUString(name)), uno::UNO_QUERY);
    if (!cell.is())
        return true;
    sal_Int32 rowSpan = 1;
    try {
        cell->getPropertyValue("RowSpan") >>= rowSpan;
    } catch (const uno::Exception &) {
        return false;
    }
    return rowSpan < 1;
}

QList<uno::Reference<text::XTextField>> fieldsIn(const uno::Reference<text::XText> &text)
{
    QList<uno::Reference<text::XTextField>> fields;
    const uno::Reference<container::XEnumerationAccess> paragraphs(text, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XEnumeration> eachParagraph = paragraphs->createEnumeration();
    while (eachParagraph->hasMoreElements()) {
        const uno::Reference<container::XEnumerationAccess> portions(eachParagraph->nextElement(), uno::UNO_QUERY);
        if (!portions.is())
            continue; // a nested table
        const uno::Reference<container::XEnumeration> eachPortion = portions->createEnumeration();
        while (eachPortion->hasMoreElements()) {
            const uno::Reference<beans::XPropertySet> portion(eachPortion->nextElement(), uno::UNO_QUERY);
            if (!portion.is() || portion->getPropertyValue("TextPortionType").get<rtl::OUString>() != "TextField")
                continue;
            fields.append(uno::Reference<text::XTextField>(portion->getPropertyValue("TextField"), uno::UNO_QUERY));
        }
    }
    return fields;
}

} // namespace

WordTables::WordTables(uno::Reference<lang::XComponent> document)
    : m_document(std::move(document))
{
}

QString WordTables::coClass() const { return QStringLiteral("Tables"); }

EmulatedObject::Answer WordTables::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTables> members{
        {QStringLiteral("Count"), &WordTables::count},
        {QStringLiteral("Item"), &WordTables::item},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTables::count(const QVariantList &)
{
    const uno::Reference<text::XTextTablesSupplier> supplier(m_document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> tables(supplier->getTextTables(), uno::UNO_QUERY_THROW);
    return Answer(static_cast<int>(tables->getCount()));
}

EmulatedObject::Answer WordTables::item(const QVariantList &args)
{
    const uno::Reference<text::XTextTablesSupplier> supplier(m_document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> tables(supplier->getTextTables(), uno::UNO_QUERY_THROW);
    const int index = collectionIndex(args, tables->getCount());
    uno::Reference<text::XTextTable> table(tables->getByIndex(index - 1), uno::UNO_QUERY_THROW);
    return Answer(std::make_shared<WordTable>(m_document, table));
}

WordTable::WordTable(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table)
    : m_document(std::move(document))
    , m_table(std::move(table))
{
}

QString WordTable::coClass() const { return QStringLiteral("Table"); }

EmulatedObject::Answer WordTable::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTable> members{
        {QStringLiteral("Rows"), &WordTable::rows},
        {QStringLiteral("Columns"), &WordTable::columns},
        {QStringLiteral("Range"), &WordTable::range},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTable::rows(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLines>(m_document, m_table, WordTableLines::Rows));
}

EmulatedObject::Answer WordTable::columns(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLines>(m_document, m_table, WordTableLines::Columns));
}

EmulatedObject::Answer WordTable::range(const QVariantList &)
{
    return Answer(std::make_shared<WordTableLine>(m_document, m_table, WordTableLines::Rows, 0));
}

WordTableLines::WordTableLines(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                               Kind kind)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_kind(kind)
{
}

QString WordTableLines::coClass() const { return m_kind == Rows ? QStringLiteral("Rows") : QStringLiteral("Columns"); }

EmulatedObject::Answer WordTableLines::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTableLines> members{
        {QStringLiteral("Count"), &WordTableLines::count},
        {QStringLiteral("Item"), &WordTableLines::item},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTableLines::count(const QVariantList &)
{
    if (m_kind == Rows)
        return Answer(static_cast<int>(m_table->getRows()->getCount()));
    return Answer(static_cast<int>(m_table->getColumns()->getCount()));
}

EmulatedObject::Answer WordTableLines::item(const QVariantList &args)
{
    const int index = collectionIndex(args, count({}).value.toInt());
    return Answer(std::make_shared<WordTableLine>(m_document, m_table, m_kind, index));
}

WordTableLine::WordTableLine(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                             WordTableLines::Kind kind, int index)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_kind(kind)
    , m_index(index)
{
}

QString WordTableLine::coClass() const
{
    if (m_index == 0)
        return QStringLiteral("Range");
    return m_kind == WordTableLines::Rows ? QStringLiteral("Row") : QStringLiteral("Column");
}

EmulatedObject::Answer WordTableLine::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordTableLine> members{
        {QStringLiteral("Cells"), &WordTableLine::cells},
        {QStringLiteral("Delete"), &WordTableLine::remove},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordTableLine::cells(const QVariantList &)
{
    const int index = m_index;
    const bool rows = m_kind == WordTableLines::Rows;
    WordCells::Filter filter = [index, rows](const WordCellPosition &position) {
        return index == 0 || (rows ? position.row : position.column) == index;
    };
    return Answer(std::make_shared<WordCells>(m_document, m_table, filter));
}

EmulatedObject::Answer WordTableLine::remove(const QVariantList &)
{
    if (m_index == 0)
        throwUnknownMember(QStringLiteral("Delete"));
    if (m_kind == WordTableLines::Rows)
        m_table->getRows()->removeByIndex(m_index - 1, 1);
    else
        m_table->getColumns()->removeByIndex(m_index - 1, 1);
    return Answer();
}

WordCells::WordCells(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                     Filter filter)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_filter(std::move(filter))
{
}

QString WordCells::coClass() const { return QStringLiteral("Cells"); }

EmulatedObject::Answer WordCells::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordCells> members{
        {QStringLiteral("Count"), &WordCells::count},
        {QStringLiteral("Item"), &WordCells::item},
    };
    return dispatch(this, members, member, args);
}

QList<WordCellPosition> WordCells::positions() const
{
    QList<WordCellPosition> found;
    const uno::Sequence<rtl::OUString> names = m_table->getCellNames();
    for (const rtl::OUString &name : names) {
        WordCellPosition position;
        if (parseCellName(toQString(name), &position) && m_filter(position)
            && !isCoveredByVerticalMerge(m_table, position.name))
            found.append(position);
    }
    // Word counts cells row by row, left to right.
    std::sort(found.begin(), found.end(), [](const WordCellPosition &a, const WordCellPosition &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    return found;
}

EmulatedObject::Answer WordCells::count(const QVariantList &) { return Answer(positions().size()); }

EmulatedObject::Answer WordCells::item(const QVariantList &args)
{
    const QList<WordCellPosition> all = positions();
    return Answer(std::make_shared<WordCell>(m_document, m_table, all.at(collectionIndex(args, all.size()) - 1)));
}

WordCell::WordCell(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table,
                   const WordCellPosition &position)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_position(position)
{
}

QString WordCell::coClass() const { return QStringLiteral("Cell"); }

EmulatedObject::Answer WordCell::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordCell> members{
        {QStringLiteral("RowIndex"), &WordCell::rowIndex},
        {QStringLiteral("ColumnIndex"), &WordCell::columnIndex},
        {QStringLiteral("Range"), &WordCell::range},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordCell::rowIndex(const QVariantList &) { return Answer(m_position.row); }

EmulatedObject::Answer WordCell::columnIndex(const QVariantList &) { return Answer(m_position.column); }

EmulatedObject::Answer WordCell::range(const QVariantList &)
{
    const uno::Reference<text::XText> text(m_table->getCellByName(toOUString(m_position.name)), uno::UNO_QUERY_THROW);
    return Answer(std::make_shared<WordCellRange>(m_document, text));
}

WordCellRange::WordCellRange(uno::Reference<lang::XComponent> document, uno::Reference<text::XText> text)
    : m_document(std::move(document))
    , m_text(std::move(text))
{
}

QString WordCellRange::coClass() const { return QStringLiteral("Range"); }

EmulatedObject::Answer WordCellRange::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordCellRange> members{
        {QStringLiteral("Text"), &WordCellRange::text},
        {QStringLiteral("Fields"), &WordCellRange::fields},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordCellRange::text(const QVariantList &)
{
    // Word ends paragraphs with a carriage return and a cell with CR + BEL.
    QString text = toQString(m_text->getString());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r")).replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return Answer(text + QLatin1Char('\r') + QChar(7));
}

EmulatedObject::Answer WordCellRange::fields(const QVariantList &)
{
    const uno::Reference<text::XText> text = m_text;
    return Answer(std::make_shared<WordFields>(m_document, [text]() { return fieldsIn(text); }));
}
