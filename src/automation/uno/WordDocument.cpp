#include "WordDocument.h"

#include "UnoRuntime.h"
#include "WordTables.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XDependentTextField.hpp>
#include <com/sun/star/text/XTextFieldsSupplier.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XRefreshable.hpp>

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

using namespace css;

namespace {

const int WD_FIELD_EMPTY = -1;
const int WD_FIELD_DOC_VARIABLE = 64;
const QString USER_FIELD_SERVICE = QStringLiteral("com.sun.star.text.textfield.User");
const QString USER_MASTER_SERVICE = QStringLiteral("com.sun.star.text.fieldmaster.User");
const QString WORD_NAMESPACE = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// The format a file name promises; Word's FileFormat 0 would write the old
// binary format whatever the name says.
QString filterForSuffix(const QString &suffix)
{
    static const QHash<QString, QString> filters{
        {QStringLiteral("doc"), QStringLiteral("MS Word 97")},
        {QStringLiteral("dot"), QStringLiteral("MS Word 97 Vorlage")},
        {QStringLiteral("docx"), QStringLiteral("MS Word 2007 XML")},
        {QStringLiteral("dotx"), QStringLiteral("MS Word 2007 XML Template")},
        {QStringLiteral("rtf"), QStringLiteral("Rich Text Format")},
        {QStringLiteral("odt"), QStringLiteral("writer8")},
    };
    return filters.value(suffix.toLower(), QStringLiteral("MS Word 97"));
}

QByteArray readStream(const uno::Reference<io::XInputStream> &stream)
{
    QByteArray bytes;
    uno::Sequence<sal_Int8> chunk;
    while (stream->readBytes(chunk, 65536) > 0)
        bytes.append(reinterpret_cast<const char *>(chunk.getConstArray()), chunk.getLength());
    stream->closeInput();
    return bytes;
}

QMap<QString, QString> docVarsOf(const QByteArray &settingsXml)
{
    QMap<QString, QString> variables;
    QXmlStreamReader reader(settingsXml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("docVar")
            && reader.namespaceUri() == WORD_NAMESPACE) {
            const QXmlStreamAttributes attributes = reader.attributes();
            variables.insert(attributes.value(WORD_NAMESPACE, QStringLiteral("name")).toString(),
                             attributes.value(WORD_NAMESPACE, QStringLiteral("val")).toString());
        }
    }
    return variables;
}

} // namespace

WordDocument::WordDocument(std::shared_ptr<WordSession> session, uno::Reference<lang::XComponent> document)
    : m_session(std::move(session))
    , m_document(std::move(document))
{
}

QString WordDocument::coClass() const { return QStringLiteral("Document"); }

EmulatedObject::Answer WordDocument::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordDocument> members{
        {QStringLiteral("FullName"), &WordDocument::fullName},
        {QStringLiteral("Variables"), &WordDocument::variables},
        {QStringLiteral("Fields"), &WordDocument::fields},
        {QStringLiteral("Tables"), &WordDocument::tables},
        {QStringLiteral("SaveAs"), &WordDocument::saveAs},
        {QStringLiteral("Close"), &WordDocument::close},
    };
    return dispatch(this, members, member, args);
}

void WordDocument::readPackageVariables(const QString &path)
{
    try {
        const uno::Reference<uno::XComponentContext> context = m_session->remoteContext();
        uno::Sequence<uno::Any> arguments(1);
        arguments[0] <<= toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
        const uno::Reference<container::XNameAccess> package(
            context->getServiceManager()->createInstanceWithArgumentsAndContext(
                "com.sun.star.packages.zip.ZipFileAccess", arguments, context),
            uno::UNO_QUERY_THROW);
        if (!package->hasByName("word/settings.xml"))
            return;
        uno::Reference<io::XInputStream> stream(package->getByName("word/settings.xml"), uno::UNO_QUERY_THROW);
        QMap<QString, QString> &variables = m_session->variables(m_document);
        const QMap<QString, QString> found = docVarsOf(readStream(stream));
        for (auto it = found.cbegin(); it != found.cend(); ++it)
            variables.insert(it.key(), it.value());
    } catch (const uno::Exception &) {
        // Not a package (.doc, .rtf): those keep no variables the office could miss.
    }
}

EmulatedObject::Answer WordDocument::fullName(const QVariantList &)
{
    const uno::Reference<frame::XModel> model(m_document, uno::UNO_QUERY_THROW);
    return Answer(QDir::toNativeSeparators(QUrl(toQString(model->getURL())).toLocalFile()));
}

EmulatedObject::Answer WordDocument::variables(const QVariantList &)
{
    return Answer(std::make_shared<WordVariables>(m_session, m_document));
}

EmulatedObject::Answer WordDocument::fields(const QVariantList &)
{
    return Answer(std::make_shared<WordFields>(m_document, WordFields::ofDocument(m_document)));
}

EmulatedObject::Answer WordDocument::tables(const QVariantList &)
{
    return Answer(std::make_shared<WordTables>(m_document));
}

EmulatedObject::Answer WordDocument::saveAs(const QVariantList &args)
{
    // FileName, FileFormat, LockComments, Password, AddToRecentFiles.
    const QString path = QFileInfo(QDir::fromNativeSeparators(args.value(0).toString())).absoluteFilePath();
    uno::Sequence<beans::PropertyValue> properties(2);
    properties[0].Name = "FilterName";
    properties[0].Value <<= toOUString(filterForSuffix(QFileInfo(path).suffix()));
    properties[1].Name = "Overwrite";
    properties[1].Value <<= true;
    const uno::Reference<frame::XStorable> storable(m_document, uno::UNO_QUERY_THROW);
    storable->storeAsURL(toOUString(QUrl::fromLocalFile(path).toString()), properties);
    // Word's SaveAs answers nothing.
    return Answer();
}

EmulatedObject::Answer WordDocument::close(const QVariantList &)
{
    m_session->forget(m_document);
    const uno::Reference<util::XCloseable> closeable(m_document, uno::UNO_QUERY);
    if (closeable.is())
        closeable->close(true);
    else
        m_document->dispose();
    return Answer();
}

WordVariables::WordVariables(std::shared_ptr<WordSession> session, uno::Reference<lang::XComponent> document)
    : m_session(std::move(session))
    , m_document(std::move(document))
{
}

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
    return Answer(true);
}

void WordVariables::setUserField(const QString &name, const QString &value)
{
    // The office shows a variable field as a user field of the same name,
    // and writes every user field back as a document variable.
    const uno::Reference<text::XTextFieldsSupplier> supplier(m_document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XNameAccess> masters = supplier->getTextFieldMasters();
    const rtl::OUString masterName = toOUString(USER_MASTER_SERVICE + QLatin1Char('.') + name);
    uno::Reference<beans::XPropertySet> master;
    if (masters->hasByName(masterName)) {
        master.set(masters->getByName(masterName), uno::UNO_QUERY_THROW);
    } else {
        const uno::Reference<lang::XMultiServiceFactory> factory(m_document, uno::UNO_QUERY_THROW);
        master.set(factory->createInstance(toOUString(USER_MASTER_SERVICE)), uno::UNO_QUERY_THROW);
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

WordVariable::WordVariable(const QString &name, const QString &value)
    : m_name(name)
    , m_value(value)
{
}

QString WordVariable::coClass() const { return QStringLiteral("Variable"); }

EmulatedObject::Answer WordVariable::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordVariable> members{
        {QStringLiteral("Name"), &WordVariable::name},
        {QStringLiteral("Value"), &WordVariable::value},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordVariable::name(const QVariantList &) { return Answer(m_name); }

EmulatedObject::Answer WordVariable::value(const QVariantList &) { return Answer(m_value); }

WordFields::WordFields(uno::Reference<lang::XComponent> document, Source source)
    : m_document(std::move(document))
    , m_source(std::move(source))
{
}

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

WordField::WordField(uno::Reference<text::XTextField> field)
    : m_field(std::move(field))
{
}

QString WordField::coClass() const { return QStringLiteral("Field"); }

EmulatedObject::Answer WordField::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordField> members{
        {QStringLiteral("Type"), &WordField::type},
        {QStringLiteral("Code"), &WordField::code},
    };
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordField::type(const QVariantList &)
{
    const uno::Reference<lang::XServiceInfo> info(m_field, uno::UNO_QUERY);
    return Answer(info.is() && info->supportsService(toOUString(USER_FIELD_SERVICE)) ? WD_FIELD_DOC_VARIABLE
                                                                                     : WD_FIELD_EMPTY);
}

EmulatedObject::Answer WordField::code(const QVariantList &)
{
    const uno::Reference<text::XDependentTextField> dependent(m_field, uno::UNO_QUERY);
    const uno::Reference<lang::XServiceInfo> info(m_field, uno::UNO_QUERY);
    if (dependent.is() && info->supportsService(toOUString(USER_FIELD_SERVICE))) {
        const uno::Reference<beans::XPropertySet> master = dependent->getTextFieldMaster();
        const QString name = toQString(master->getPropertyValue("Name").get<rtl::OUString>());
        return Answer(std::make_shared<WordFieldCode>(QStringLiteral(" DOCVARIABLE %1 ").arg(name)));
    }
    return Answer(std::make_shared<WordFieldCode>(
        QLatin1Char(' ') + toQString(m_field->getPresentation(true)) + QLatin1Char(' ')));
}

WordFieldCode::WordFieldCode(const QString &text)
    : m_text(text)
{
}

QString WordFieldCode::coClass() const { return QStringLiteral("Range"); }

EmulatedObject::Answer WordFieldCode::invoke(const QString &member, const QVariantList &args)
{
    static const Members<WordFieldCode> members{{QStringLiteral("Text"), &WordFieldCode::text}};
    return dispatch(this, members, member, args);
}

EmulatedObject::Answer WordFieldCode::text(const QVariantList &) { return Answer(m_text); }
