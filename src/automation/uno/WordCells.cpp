#include "WordCells.h"

#include "UnoRuntime.h"
#include "WordCell.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/table/XCell.hpp>

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

} // namespace

WordCells::WordCells(uno::Reference<lang::XComponent> document, uno::Reference<text::XTextTable> table, Filter filter)
    : m_document(std::move(document))
    , m_table(std::move(table))
    , m_filter(std::move(filter))
{ }

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
