// Word.Application, its Documents and a Document.
#include "UnoRuntime.h"
#include "WordKinds.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QXmlStreamReader>

using namespace css;

namespace WordKinds {

void OnDocument::check() const
{
    session->checkRunning();
    document->checkOpen();
}

namespace {

using Answer = EmulatedObject::Answer;

const QString WORD_NAMESPACE = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

struct OnSession
{
    std::shared_ptr<WordSession> session;

    void check() const { session->checkRunning(); }
};

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

bool isPackage(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

// Word keeps the variables in the package (w:docVars), which the office does
// not import: read them from the file itself, and add them as Word holds
// them, so the fields show them once updated. Binary and RTF files keep no
// variables the office could miss.
void readPackageVariables(WordSession &session, WordDocumentState &document, const QString &path)
{
    if (!isPackage(path))
        return;
    const uno::Reference<uno::XComponentContext> context = session.remoteContext();
    uno::Sequence<uno::Any> arguments(1);
    arguments[0] <<= toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
    const uno::Reference<container::XNameAccess> package(
            context->getServiceManager()->createInstanceWithArgumentsAndContext(
                    "com.sun.star.packages.zip.ZipFileAccess", arguments, context),
            uno::UNO_QUERY_THROW);
    if (!package->hasByName("word/settings.xml"))
        return;
    const QMap<QString, QString> found =
            docVarsOf(readStream(interfaceOf<io::XInputStream>(package->getByName("word/settings.xml"))));
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        document.setVariable(it.key(), it.value());
}

std::shared_ptr<EmulatedObject> document(const OnDocument &on);
std::shared_ptr<EmulatedObject> documents(std::shared_ptr<WordSession> session);

// A headless office shows no window: the user gets the document in the
// desktop's default application instead. The hidden copy is closed, or the
// file would count as open in the office until it quits.
Answer activate(OnSession &on, const QVariantList &)
{
    const std::shared_ptr<WordDocumentState> shown = on.session->lastOpened;
    if (!on.session->visible || !shown)
        return Answer();
    const uno::Reference<frame::XModel> model = shown->model().as<frame::XModel>();
    const QUrl url(toQString(model->getURL()));
    const uno::Reference<util::XModifiable> modifiable = shown->model().query<util::XModifiable>();
    if (!url.isLocalFile() || (modifiable.is() && modifiable->isModified()))
        return Answer();
    QDesktopServices::openUrl(url);
    on.session->close(*shown);
    return Answer();
}

const ObjectKind<OnSession> APPLICATION(
        "Application",
        {
                {"Application", [](OnSession &on, const QVariantList &) { return Answer(application(on.session)); }},
                {"Documents", [](OnSession &on, const QVariantList &) { return Answer(documents(on.session)); }},
                {"Version", [](OnSession &on, const QVariantList &) { return Answer(on.session->version()); }},
                {"Visible", [](OnSession &on, const QVariantList &) { return Answer(on.session->visible); }},
                {"Activate", &activate},
                {"Quit",
                 [](OnSession &on, const QVariantList &) {
                     on.session->quit();
                     return Answer();
                 }},
        },
        {{"Visible", [](OnSession &on, const QVariant &value) { on.session->visible = value.toBool(); }}});

Answer documentAt(OnSession &on, const QVariantList &args)
{
    const QList<uno::Reference<lang::XComponent>> all = on.session->textDocuments();
    const int index = collectionIndex(args, all.size());
    return Answer(document({on.session, on.session->document(all.at(index - 1))}));
}

Answer open(OnSession &on, const QVariantList &args)
{
    // FileName, ConfirmConversions, ReadOnly, AddToRecentFiles.
    const QString path = QDir::fromNativeSeparators(args.value(0).toString());
    if (!QFileInfo::exists(path))
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("Cannot find the file %1").arg(path)};
    uno::Sequence<beans::PropertyValue> properties(3);
    properties[0].Name = "Hidden";
    properties[0].Value <<= true;
    // A template is opened itself, not as a new untitled document made from it.
    properties[1].Name = "AsTemplate";
    properties[1].Value <<= false;
    properties[2].Name = "ReadOnly";
    properties[2].Value <<= args.value(2).toBool();
    const uno::Reference<frame::XComponentLoader> loader(on.session->desktop(), uno::UNO_QUERY_THROW);
    const uno::Reference<lang::XComponent> loaded = loader->loadComponentFromURL(
            toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()), "_blank", 0, properties);
    if (!loaded.is())
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("The file %1 could not be opened").arg(path)};
    const std::shared_ptr<WordDocumentState> state = on.session->document(loaded);
    on.session->lastOpened = state;
    readPackageVariables(*on.session, *state, path);
    return Answer(document({on.session, state}));
}

const ObjectKind<OnSession> DOCUMENTS("Documents",
                                      {
                                              {"Count",
                                               [](OnSession &on, const QVariantList &) {
                                                   return Answer(on.session->textDocuments().size());
                                               }},
                                              {"Item", &documentAt},
                                              {"Open", &open},
                                      });

Answer saveAs(OnDocument &on, const QVariantList &args)
{
    // FileName, FileFormat, LockComments, Password, AddToRecentFiles.
    const QString path = QFileInfo(QDir::fromNativeSeparators(args.value(0).toString())).absoluteFilePath();
    uno::Sequence<beans::PropertyValue> properties(2);
    properties[0].Name = "FilterName";
    properties[0].Value <<= toOUString(filterForSuffix(QFileInfo(path).suffix()));
    properties[1].Name = "Overwrite";
    properties[1].Value <<= true;
    on.document->model().as<frame::XStorable>()->storeAsURL(toOUString(QUrl::fromLocalFile(path).toString()),
                                                            properties);
    // Word's SaveAs answers nothing.
    return Answer();
}

const ObjectKind<OnDocument> DOCUMENT(
        "Document",
        {
                {"FullName", [](OnDocument &on, const QVariantList &) { return Answer(on.document->fullName()); }},
                {"Variables", [](OnDocument &on, const QVariantList &) { return Answer(variables(on)); }},
                {"Fields", [](OnDocument &on, const QVariantList &) { return Answer(documentFields(on)); }},
                {"Tables", [](OnDocument &on, const QVariantList &) { return Answer(tables(on)); }},
                {"SaveAs", &saveAs},
                {"Close",
                 [](OnDocument &on, const QVariantList &) {
                     on.session->close(*on.document);
                     return Answer();
                 }},
        });

std::shared_ptr<EmulatedObject> document(const OnDocument &on) { return DOCUMENT.make(on); }

std::shared_ptr<EmulatedObject> documents(std::shared_ptr<WordSession> session)
{
    return DOCUMENTS.make({std::move(session)});
}

} // namespace

std::shared_ptr<EmulatedObject> application(std::shared_ptr<WordSession> session)
{
    return APPLICATION.make({std::move(session)});
}

} // namespace WordKinds
