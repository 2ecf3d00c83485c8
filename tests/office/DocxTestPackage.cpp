#include "DocxTestPackage.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

const QString W_NS = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString R_NS = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

const char *WRITE_SCRIPT = R"(
import base64, json, sys, zipfile
package = json.load(sys.stdin)
padding = package['padding']
chunk = b' ' * (1 << 20)
with zipfile.ZipFile(package['path'], 'w', zipfile.ZIP_DEFLATED) as z:
    for name in sorted(set(package['parts']) | set(padding)):
        with z.open(name, 'w') as part:
            part.write(base64.b64decode(package['parts'].get(name, '')))
            left = padding.get(name, 0)
            while left > 0:
                part.write(chunk[:left])
                left -= len(chunk)
)";

const char *READ_SCRIPT = R"(
import base64, json, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    if z.testzip() is not None:
        sys.exit(3)
    print(json.dumps({n: base64.b64encode(z.read(n)).decode() for n in z.namelist() if not n.endswith('/')}))
)";

QByteArray runPython(const char *script, const QStringList &arguments, const QByteArray &input, bool *ok)
{
    QProcess python;
    python.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
    python.write(input);
    python.closeWriteChannel();
    *ok = python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    return python.readAllStandardOutput();
}

} // namespace

DocxTestPackage::Parts DocxTestPackage::minimalParts(const QString &bodyXml, const QString &docVarsXml)
{
    Parts parts;
    parts[QStringLiteral("[Content_Types].xml")] =
            QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"rels\" "
                    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                    "<Override PartName=\"/word/document.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
                    "<Override PartName=\"/word/settings.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
                    "<Override PartName=\"/word/header1.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
                    "<Override PartName=\"/word/footer1.xml\" "
                    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>"
                    "</Types>")
                    .toUtf8();
    parts[QStringLiteral("_rels/.rels")] =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                           "<Relationship Id=\"rId1\" "
                           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                           "officeDocument\" Target=\"word/document.xml\"/>"
                           "</Relationships>")
                    .toUtf8();
    parts[QStringLiteral("word/_rels/document.xml.rels")] =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                           "<Relationship Id=\"rId1\" "
                           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" "
                           "Target=\"settings.xml\"/>"
                           "</Relationships>")
                    .toUtf8();
    parts[QStringLiteral("word/document.xml")] =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<w:document xmlns:w=\"%1\" xmlns:r=\"%2\"><w:body>%3<w:sectPr/></w:body></w:document>")
                    .arg(W_NS, R_NS, bodyXml)
                    .toUtf8();
    const QString docVars =
            docVarsXml.isEmpty() ? QString() : QStringLiteral("<w:docVars>%1</w:docVars>").arg(docVarsXml);
    parts[QStringLiteral("word/settings.xml")] =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                           "<w:settings xmlns:w=\"%1\"><w:defaultTabStop w:val=\"708\"/>%2</w:settings>")
                    .arg(W_NS, docVars)
                    .toUtf8();
    return parts;
}

void DocxTestPackage::addHeaderFooter(Parts &parts, const QString &headerBodyXml, const QString &footerBodyXml)
{
    parts[QStringLiteral("word/header1.xml")] =
            QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:hdr xmlns:w=\"%1\">%2</w:hdr>")
                    .arg(W_NS, headerBodyXml)
                    .toUtf8();
    parts[QStringLiteral("word/footer1.xml")] =
            QStringLiteral(
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:ftr xmlns:w=\"%1\">%2</w:ftr>")
                    .arg(W_NS, footerBodyXml)
                    .toUtf8();
    QByteArray &rels = parts[QStringLiteral("word/_rels/document.xml.rels")];
    rels.replace("</Relationships>",
                 "<Relationship Id=\"rId2\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
                 "Target=\"header1.xml\"/>"
                 "<Relationship Id=\"rId3\" "
                 "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" "
                 "Target=\"footer1.xml\"/>"
                 "</Relationships>");
    QByteArray &document = parts[QStringLiteral("word/document.xml")];
    document.replace("<w:sectPr/>",
                     "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId2\"/>"
                     "<w:footerReference w:type=\"default\" r:id=\"rId3\"/></w:sectPr>");
}

QString DocxTestPackage::field(const QString &name)
{
    return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                          "<w:r><w:instrText xml:space=\"preserve\"> DOCVARIABLE %1 </w:instrText></w:r>"
                          "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")
            .arg(name);
}

QString DocxTestPackage::paragraph(const QString &runsXml) { return QStringLiteral("<w:p>%1</w:p>").arg(runsXml); }

QString DocxTestPackage::textRun(const QString &text)
{
    return QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>").arg(text);
}

bool DocxTestPackage::write(const QString &zipPath, const Parts &parts, const QVariantMap &padding)
{
    QDir().mkpath(QFileInfo(zipPath).absolutePath());
    QJsonObject encoded;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it)
        encoded.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    const QJsonObject package{{QStringLiteral("path"), zipPath},
                              {QStringLiteral("parts"), encoded},
                              {QStringLiteral("padding"), QJsonObject::fromVariantMap(padding)}};
    bool ok = false;
    runPython(WRITE_SCRIPT, {}, QJsonDocument(package).toJson(QJsonDocument::Compact), &ok);
    return ok;
}

DocxTestPackage::Parts DocxTestPackage::read(const QString &zipPath)
{
    bool ok = false;
    const QByteArray json = runPython(READ_SCRIPT, {zipPath}, QByteArray(), &ok);
    Parts parts;
    if (!ok)
        return parts;
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        parts.insert(it.key(), QByteArray::fromBase64(it.value().toString().toLatin1()));
    return parts;
}

QStringList DocxTestPackage::paragraphTexts(const QByteArray &partXml)
{
    QDomDocument document;
    document.setContent(partXml);
    QStringList texts;
    const QDomNodeList paragraphs = document.elementsByTagName(QStringLiteral("w:p"));
    for (int i = 0; i < paragraphs.size(); ++i) {
        QString text;
        const QDomNodeList runsText = paragraphs.at(i).toElement().elementsByTagName(QStringLiteral("w:t"));
        for (int j = 0; j < runsText.size(); ++j)
            text += runsText.at(j).toElement().text();
        texts.append(text);
    }
    return texts;
}

QMap<QString, QString> DocxTestPackage::docVars(const QByteArray &settingsXml)
{
    QDomDocument document;
    document.setContent(settingsXml);
    QMap<QString, QString> vars;
    const QDomNodeList nodes = document.elementsByTagName(QStringLiteral("w:docVar"));
    for (int i = 0; i < nodes.size(); ++i) {
        const QDomElement element = nodes.at(i).toElement();
        vars.insert(element.attribute(QStringLiteral("w:name")), element.attribute(QStringLiteral("w:val")));
    }
    return vars;
}
