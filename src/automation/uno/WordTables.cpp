#include "WordTables.h"

#include "WordTable.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>

using namespace css;

WordTables::WordTables(uno::Reference<lang::XComponent> document)
    : m_document(std::move(document))
{ }

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
