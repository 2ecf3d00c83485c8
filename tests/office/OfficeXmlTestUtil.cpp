#include "OfficeXmlTestUtil.h"
#include "TestFiles.h"

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace OfficeXmlTestUtil {

using TestFiles::readFile;

namespace {
const QString kNs = QStringLiteral("xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"");
const QString kDecl = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");

QString rPr(bool bold) { return bold ? QStringLiteral("<w:rPr><w:b/></w:rPr>") : QString(); }
} // namespace

QString documentPart(const QString &bodyXml)
{
    return kDecl + QStringLiteral("<w:document %1><w:body>%2</w:body></w:document>").arg(kNs, bodyXml);
}

QString headerPart(const QString &contentXml)
{
    return kDecl + QStringLiteral("<w:hdr %1>%2</w:hdr>").arg(kNs, contentXml);
}

QString footerPart(const QString &contentXml)
{
    return kDecl + QStringLiteral("<w:ftr %1>%2</w:ftr>").arg(kNs, contentXml);
}

QString settingsPart(const QString &contentXml)
{
    return kDecl + QStringLiteral("<w:settings %1>%2</w:settings>").arg(kNs, contentXml);
}

QString beginRun() { return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"); }

QString instrRun(const QString &text, bool bold)
{
    if (text.isEmpty())
        return QStringLiteral("<w:r>%1<w:instrText xml:space=\"preserve\"/></w:r>").arg(rPr(bold));
    return QStringLiteral("<w:r>%1<w:instrText xml:space=\"preserve\">%2</w:instrText></w:r>").arg(rPr(bold), text);
}

QString separateRun() { return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"); }

QString endRun() { return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"); }

QString textRun(const QString &text) { return QStringLiteral("<w:r><w:t>%1</w:t></w:r>").arg(text); }

QString insertedSeparateRun(bool bold)
{
    return QStringLiteral("<w:r>%1<w:fldChar w:fldCharType=\"separate\"/></w:r>").arg(rPr(bold));
}

QString insertedValueRun(const QString &value, bool bold)
{
    const QString t = value.isEmpty() ? QStringLiteral("<w:t></w:t>") : QStringLiteral("<w:t>%1</w:t>").arg(value);
    return QStringLiteral("<w:r>%1%2</w:r>").arg(rPr(bold), t);
}

QString paragraph(const QString &runs) { return QStringLiteral("<w:p>%1</w:p>").arg(runs); }

QString row(const QString &marker, const QString &cellContent, const QString &cellProperties)
{
    return QStringLiteral("<w:tr><w:tc>%1</w:tc><w:tc>%2%3</w:tc></w:tr>")
            .arg(paragraph(textRun(marker)), cellProperties, cellContent);
}

QString table(const QString &rows) { return QStringLiteral("<w:tbl>%1</w:tbl>").arg(rows); }

QString bodyText(const QString &path)
{
    const QString text = QString::fromUtf8(readFile(path));
    static const QRegularExpression re(QStringLiteral("<(w:body|w:hdr|w:ftr)(?: [^>]*)?>(.*)</\\1>"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = re.match(text);
    return match.hasMatch() ? match.captured(2) : QStringLiteral("<no body in: %1>").arg(text);
}

QStringList rowMarkers(const QString &path)
{
    QDomDocument document;
    document.setContent(readFile(path));
    QStringList markers;
    const QDomNodeList rows = document.elementsByTagName(QStringLiteral("w:tr"));
    for (int i = 0; i < rows.size(); ++i)
        markers.append(rows.at(i).firstChildElement(QStringLiteral("w:tc")).text());
    return markers;
}

} // namespace OfficeXmlTestUtil
