#include "WordDocumentState.h"

#include "EmulatedObject.h"
#include "UnoRuntime.h"

#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertyContainer.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/XDocumentProperties.hpp>
#include <com/sun/star/document/XDocumentPropertiesSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/text/XTextTablesSupplier.hpp>
#include <com/sun/star/util/XRefreshable.hpp>

using namespace css;

WordFieldEntry::WordFieldEntry(UnoObject field)
    : m_field(std::move(field))
{ }

UnoObject &WordFieldEntry::field() { return m_field; }

FieldVariable::Shown WordFieldEntry::shown()
{
    if (!m_shownRead) {
        m_shown = FieldVariable::shownBy(m_field);
        m_shownRead = true;
    }
    return m_shown;
}

const QString &WordFieldEntry::variable()
{
    if (!m_variableRead) {
        m_variable = FieldVariable::nameOf(m_field, shown());
        m_variableRead = true;
    }
    return m_variable;
}

WordDocumentState::WordDocumentState(const uno::Reference<lang::XComponent> &component,
                                     const uno::Reference<uno::XInterface> &identity)
    : OfficeDocumentState(component, identity, QStringLiteral("The document has been closed"))
{ }

const QMap<QString, QString> &WordDocumentState::variables() const { return m_variables; }

void WordDocumentState::setVariable(const QString &name, const QString &value)
{
    m_variables.insert(name, value);
    setUserField(name, value);
    setCustomProperty(name, value);
}

void WordDocumentState::setUserField(const QString &name, const QString &value)
{
    // The office shows a variable field as a user field of the same name,
    // and writes every user field back as a document variable.
    if (!m_fieldMasters.is())
        m_fieldMasters = UnoObject(model().as<text::XTextFieldsSupplier>()->getTextFieldMasters());
    const uno::Reference<container::XNameAccess> masters = m_fieldMasters.as<container::XNameAccess>();
    const rtl::OUString masterName = toOUString(FieldVariable::USER_MASTER + QLatin1Char('.') + name);
    uno::Reference<beans::XPropertySet> master;
    if (masters->hasByName(masterName)) {
        master = interfaceOf<beans::XPropertySet>(masters->getByName(masterName));
    } else {
        const uno::Reference<lang::XMultiServiceFactory> factory = model().as<lang::XMultiServiceFactory>();
        master.set(factory->createInstance(toOUString(FieldVariable::USER_MASTER)), uno::UNO_QUERY_THROW);
        master->setPropertyValue("Name", uno::Any(toOUString(name)));
    }
    master->setPropertyValue("Content", uno::Any(toOUString(value)));
}

void WordDocumentState::setCustomProperty(const QString &name, const QString &value)
{
    if (!m_userProperties.is()) {
        const uno::Reference<document::XDocumentPropertiesSupplier> supplier =
                model().query<document::XDocumentPropertiesSupplier>();
        if (!supplier.is())
            return;
        m_userProperties = UnoObject(supplier->getDocumentProperties()->getUserDefinedProperties());
        // Read once: only the emulation adds to them, and it notes what it adds.
        const uno::Reference<beans::XPropertySetInfo> info =
                m_userProperties.as<beans::XPropertySet>()->getPropertySetInfo();
        for (const beans::Property &property : info->getProperties())
            m_userPropertyNames.insert(toQString(property.Name));
    }
    const rtl::OUString key = toOUString(name);
    if (m_userPropertyNames.contains(name)) {
        m_userProperties.as<beans::XPropertySet>()->setPropertyValue(key, uno::Any(toOUString(value)));
        return;
    }
    // Only a document whose fields show it gets the property, as Word would keep no such thing.
    if (customPropertyVariables().contains(name)) {
        m_userProperties.as<beans::XPropertyContainer>()->addProperty(key, beans::PropertyAttribute::REMOVABLE,
                                                                      uno::Any(toOUString(value)));
        m_userPropertyNames.insert(name);
    }
}

QSet<QString> WordDocumentState::customPropertyVariables()
{
    return m_customPropertyVariables.get(revision(), [this] {
        QSet<QString> names;
        for (const std::shared_ptr<WordFieldEntry> &field : fields()) {
            if (field->shown() == FieldVariable::Shown::ByCustomProperty)
                names.insert(field->variable());
        }
        return names;
    });
}

WordFieldList &WordDocumentState::fields()
{
    return m_fields.get(revision(), [this] {
        WordFieldList fields;
        const uno::Reference<container::XEnumeration> all =
                textFields().as<container::XEnumerationAccess>()->createEnumeration();
        while (all->hasMoreElements())
            fields.append(
                    std::make_shared<WordFieldEntry>(UnoObject(interfaceOf<text::XTextField>(all->nextElement()))));
        return fields;
    });
}

void WordDocumentState::refreshFields() { textFields().as<util::XRefreshable>()->refresh(); }

UnoObject &WordDocumentState::textFields()
{
    if (!m_textFields.is())
        m_textFields = UnoObject(model().as<text::XTextFieldsSupplier>()->getTextFields());
    return m_textFields;
}

uno::Reference<container::XIndexAccess> WordDocumentState::tables()
{
    if (!m_tables.is())
        m_tables = UnoObject(model().as<text::XTextTablesSupplier>()->getTextTables());
    return m_tables.as<container::XIndexAccess>();
}
