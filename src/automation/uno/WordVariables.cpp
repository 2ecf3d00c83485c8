#include "WordVariables.h"

#include "FieldVariable.h"
#include "UnoRuntime.h"
#include "WordFields.h"
#include "WordVariable.h"

#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertyContainer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>

using namespace css;

WordVariables::WordVariables(std::shared_ptr<WordSession> session, uno::Reference<lang::XComponent> document)
    : m_session(std::move(session))
    , m_document(std::move(document))
{ }

QString WordVariables::coClass() const { return QStringLiteral("Variables"); }

EmulatedObject::Answer WordVariables::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordVariables> members{
            {QStringLiteral("Add"), &WordVariables::add},
            {QStringLiteral("Count"), &WordVariables::count},
            {QStringLiteral("Item"), &WordVariables::item},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordVariables::add(const QVariantList &args)
{
    const QString name = args.value(0).toString();
    const QString value = args.value(1).toString();
    m_session->variables(m_document).insert(name, value);
    setUserField(name, value);
    setCustomProperty(name, value);
    return Answer(true);
}

void WordVariables::setCustomProperty(const QString &name, const QString &value)
{
    const uno::Reference<document::XDocumentPropertiesSupplier> supplier(m_document, uno::UNO_QUERY);
    if (!supplier.is())
        return;
    const uno::Reference<beans::XPropertyContainer> container =
            supplier->getDocumentProperties()->getUserDefinedProperties();
    const uno::Reference<beans::XPropertySet> properties(container, uno::UNO_QUERY_THROW);
    const rtl::OUString key = toOUString(name);
    if (properties->getPropertySetInfo()->hasPropertyByName(key)) {
        properties->setPropertyValue(key, uno::Any(toOUString(value)));
        return;
    }
    // Only a document whose fields show it gets the property, as Word would keep no such thing.
    if (customFieldNames().contains(name))
        container->addProperty(key, beans::PropertyAttribute::REMOVABLE, uno::Any(toOUString(value)));
}

const QSet<QString> &WordVariables::customFieldNames()
{
    // Read once: adding variables adds no fields, and a walk over every field costs a round trip each.
    if (!m_customFieldNamesRead) {
        m_customFieldNamesRead = true;
        for (const uno::Reference<text::XTextField> &field : WordFields::ofDocument(m_document)()) {
            if (FieldVariable::supports(field, FieldVariable::CUSTOM_FIELD))
                m_customFieldNames.insert(FieldVariable::nameOf(field));
        }
    }
    return m_customFieldNames;
}

void WordVariables::setUserField(const QString &name, const QString &value)
{
    // The office shows a variable field as a user field of the same name,
    // and writes every user field back as a document variable.
    const uno::Reference<text::XTextFieldsSupplier> supplier(m_document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XNameAccess> masters = supplier->getTextFieldMasters();
    const rtl::OUString masterName = toOUString(FieldVariable::USER_MASTER + QLatin1Char('.') + name);
    uno::Reference<beans::XPropertySet> master;
    if (masters->hasByName(masterName)) {
        master.set(masters->getByName(masterName), uno::UNO_QUERY_THROW);
    } else {
        const uno::Reference<lang::XMultiServiceFactory> factory(m_document, uno::UNO_QUERY_THROW);
        master.set(factory->createInstance(toOUString(FieldVariable::USER_MASTER)), uno::UNO_QUERY_THROW);
        master->setPropertyValue("Name", uno::Any(toOUString(name)));
    }
    master->setPropertyValue("Content", uno::Any(toOUString(value)));
}

EmulatedObject::Answer WordVariables::count(const QVariantList &)
{
    return Answer(m_session->variables(m_document).size());
}

EmulatedObject::Answer WordVariables::item(const QVariantList &args)
{
    const QMap<QString, QString> &variables = m_session->variables(m_document);
    if (args.value(0).type() == QVariant::String) {
        const QString name = args.value(0).toString();
        if (!variables.contains(name))
            throw AutomationFault{DispatchCode::BAD_INDEX, QStringLiteral("No document variable %1").arg(name)};
        return Answer(std::make_shared<WordVariable>(name, variables.value(name)));
    }
    const int index = collectionIndex(args, variables.size());
    const QString name = variables.keys().at(index - 1);
    return Answer(std::make_shared<WordVariable>(name, variables.value(name)));
}
