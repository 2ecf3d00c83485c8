#include "WordCellRange.h"

#include "UnoRuntime.h"
#include "WordFields.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>

using namespace css;

namespace {

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

WordCellRange::WordCellRange(uno::Reference<lang::XComponent> document, uno::Reference<text::XText> text)
    : m_document(std::move(document))
    , m_text(std::move(text))
{ }

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
