#include "WordDocument.h"

#include "UnoRuntime.h"
#include "WordFields.h"
#include "WordTables.h"
#include "WordVariables.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

using namespace css;

namespace {

const QString WORD_NAMESPACE = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

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
{ }

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
        // Added as Word would hold them, so the fields show them once updated.
        WordVariables variables(m_session, m_document);
        const QMap<QString, QString> found = docVarsOf(readStream(stream));
        for (auto it = found.cbegin(); it != found.cend(); ++it)
            variables.invoke(QStringLiteral("Add"), {it.key(), it.value()});
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
