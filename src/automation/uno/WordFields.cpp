#include "WordFields.h"

#include "WordField.h"

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/util/XRefreshable.hpp>

using namespace css;

WordFields::WordFields(uno::Reference<lang::XComponent> document, Source source)
    : m_document(std::move(document))
    , m_source(std::move(source))
{ }

WordFields::Source WordFields::ofDocument(const uno::Reference<lang::XComponent> &document)
{
    return [document]() {
        QList<uno::Reference<text::XTextField>> fields;
        const uno::Reference<text::XTextFieldsSupplier> supplier(document, uno::UNO_QUERY_THROW);
        const uno::Reference<container::XEnumeration> all = supplier->getTextFields()->createEnumeration();
        while (all->hasMoreElements())
            fields.append(uno::Reference<text::XTextField>(all->nextElement(), uno::UNO_QUERY));
        return fields;
    };
}

QString WordFields::coClass() const { return QStringLiteral("Fields"); }

EmulatedObject::Answer WordFields::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordFields> members{
            {QStringLiteral("Count"), &WordFields::count},
            {QStringLiteral("Item"), &WordFields::item},
            {QStringLiteral("Update"), &WordFields::update},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordFields::count(const QVariantList &) { return Answer(m_source().size()); }

EmulatedObject::Answer WordFields::item(const QVariantList &args)
{
    const QList<uno::Reference<text::XTextField>> fields = m_source();
    return Answer(std::make_shared<WordField>(fields.at(collectionIndex(args, fields.size()) - 1)));
}

EmulatedObject::Answer WordFields::update(const QVariantList &)
{
    const uno::Reference<text::XTextFieldsSupplier> supplier(m_document, uno::UNO_QUERY_THROW);
    const uno::Reference<util::XRefreshable> refreshable(supplier->getTextFields(), uno::UNO_QUERY_THROW);
    refreshable->refresh();
    // Word answers 0 when every field updated.
    return Answer(QVariant(0));
}
