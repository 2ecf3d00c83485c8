#include "XlsxTestPackage.h"

#include "DocxTestPackage.h"

#include <QDate>
#include <QRegularExpression>

namespace {

const char *const CONTENT_TYPES_START =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";

const char *const STYLES =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"_-* #,##0.00\\ &quot;₽&quot;_-\"/></numFmts>"
        "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
        "<fills count=\"1\"><fill><patternFill patternType=\"none\"/></fill></fills>"
        "<borders count=\"1\"><border/></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"4\">"
        "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
        "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "<xf numFmtId=\"10\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "</cellXfs></styleSheet>";

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// Text as an XML reader gives it: line ends normalised, references resolved,
// and OOXML's own escapes of control characters ("_x000D_") decoded.
QString unescaped(QString text)
{
    static const QRegularExpression reference(QStringLiteral("&#(x?)([0-9A-Fa-f]+);|_x([0-9A-Fa-f]{4})_"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString resolved;
    int done = 0;
    QRegularExpressionMatchIterator it = reference.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        resolved += text.mid(done, match.capturedStart() - done);
        const bool escape = !match.captured(3).isEmpty();
        const bool hex = escape || !match.captured(1).isEmpty();
        resolved += QChar(static_cast<char16_t>(match.captured(escape ? 3 : 2).toUInt(nullptr, hex ? 16 : 10)));
        done = match.capturedEnd();
    }
    resolved += text.mid(done);
    return resolved.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

int rowOf(const QString &address)
{
    static const QRegularExpression digits(QStringLiteral("\\d+$"));
    return digits.match(address).captured().toInt();
}

QString cellXml(const QString &address, const XlsxTestPackage::Cell &cell)
{
    const QString start = QStringLiteral("<c r=\"%1\" s=\"%2\"").arg(address).arg(static_cast<int>(cell.style));
    const QVariant &value = cell.value;
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::Bool:
        return start + QStringLiteral(" t=\"b\"><v>%1</v></c>").arg(value.toBool() ? 1 : 0);
    case QMetaType::QDate:
        return start + QStringLiteral("><v>%1</v></c>").arg(QDate(1899, 12, 30).daysTo(value.toDate()));
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.startsWith(QLatin1Char('=')))
            return start + QStringLiteral("><f>%1</f></c>").arg(escaped(text.mid(1)));
        return start
                + QStringLiteral(" t=\"inlineStr\"><is><t xml:space=\"preserve\">%1</t></is></c>").arg(escaped(text));
    }
    default:
        return start + QStringLiteral("><v>%1</v></c>").arg(value.toString());
    }
}

QString sheetXml(const XlsxTestPackage::Sheet &sheet)
{
    // Rows in order, cells of a row in the order of their addresses' columns.
    QMap<int, QMap<QString, QString>> rows;
    for (auto it = sheet.cells.cbegin(); it != sheet.cells.cend(); ++it) {
        const QString column = QString(it.key()).remove(QRegularExpression(QStringLiteral("\\d+$")));
        rows[rowOf(it.key())].insert(QString::number(column.size()) + column, cellXml(it.key(), it.value()));
    }
    QString data;
    for (auto row = rows.cbegin(); row != rows.cend(); ++row)
        data += QStringLiteral("<row r=\"%1\">%2</row>").arg(row.key()).arg(QStringList(row->values()).join(QString()));
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                          "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                          "<sheetData>%1</sheetData></worksheet>")
            .arg(data);
}

} // namespace

bool XlsxTestPackage::write(const QString &path, const QList<Sheet> &sheets, const QList<Name> &names)
{
    DocxTestPackage::Parts parts;
    QString types = QString::fromUtf8(CONTENT_TYPES_START);
    QString sheetList;
    QString relationships;
    for (int i = 0; i < sheets.size(); ++i) {
        const QString part = QStringLiteral("worksheets/sheet%1.xml").arg(i + 1);
        types += QStringLiteral("<Override PartName=\"/xl/%1\" ContentType=\"application/"
                                "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>")
                         .arg(part);
        sheetList += QStringLiteral("<sheet name=\"%1\" sheetId=\"%2\" r:id=\"rId%2\"/>")
                             .arg(escaped(sheets.at(i).name))
                             .arg(i + 1);
        relationships += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/"
                                        "officeDocument/2006/relationships/worksheet\" Target=\"%2\"/>")
                                 .arg(i + 1)
                                 .arg(part);
        parts.insert(QStringLiteral("xl/") + part, sheetXml(sheets.at(i)).toUtf8());
    }
    relationships += QStringLiteral("<Relationship Id=\"rIdS\" Type=\"http://schemas.openxmlformats.org/"
                                    "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>");
    QString definedNames;
    for (const Name &name : names) {
        const QString local = name.sheet >= 0 ? QStringLiteral(" localSheetId=\"%1\"").arg(name.sheet) : QString();
        definedNames += QStringLiteral("<definedName name=\"%1\"%2>%3</definedName>")
                                .arg(escaped(name.name), local, escaped(name.refersTo));
    }
    parts.insert(QStringLiteral("[Content_Types].xml"), (types + QStringLiteral("</Types>")).toUtf8());
    parts.insert(QStringLiteral("_rels/.rels"),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                 "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                 "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                 "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    parts.insert(QStringLiteral("xl/_rels/workbook.xml.rels"),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                                "relationships\">%1</Relationships>")
                         .arg(relationships)
                         .toUtf8());
    // Formulas carry no results: the office works them out on loading.
    parts.insert(QStringLiteral("xl/workbook.xml"),
                 QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                "<sheets>%1</sheets>%2<calcPr fullCalcOnLoad=\"1\"/></workbook>")
                         .arg(sheetList,
                              definedNames.isEmpty()
                                      ? QString()
                                      : QStringLiteral("<definedNames>%1</definedNames>").arg(definedNames))
                         .toUtf8());
    parts.insert(QStringLiteral("xl/styles.xml"), QByteArray(STYLES));
    return DocxTestPackage::write(path, parts);
}

QStringList XlsxTestPackage::definedNames(const QString &path)
{
    const QString workbook = QString::fromUtf8(DocxTestPackage::read(path).value(QStringLiteral("xl/workbook.xml")));
    static const QRegularExpression definedName(QStringLiteral("<definedName([^>]*)>([^<]*)</definedName>"));
    static const QRegularExpression nameAttribute(QStringLiteral("\\bname=\"([^\"]*)\""));
    static const QRegularExpression sheetAttribute(QStringLiteral("\\blocalSheetId=\"(\\d+)\""));
    QStringList names;
    QRegularExpressionMatchIterator it = definedName.globalMatch(workbook);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString attributes = match.captured(1);
        const QRegularExpressionMatch sheet = sheetAttribute.match(attributes);
        const QString reference = unescaped(match.captured(2));
        names.append(QStringLiteral("%1 %2 = %3")
                             .arg(sheet.hasMatch() ? sheet.captured(1) : QStringLiteral("-1"),
                                  nameAttribute.match(attributes).captured(1), reference));
    }
    return names;
}

namespace {

QString attribute(const QString &attributes, const QString &name)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
    return unescaped(pattern.match(attributes).captured(1));
}

QStringList sharedStrings(const QByteArray &xml)
{
    static const QRegularExpression item(QStringLiteral("<si>(.*?)</si>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression text(QStringLiteral("<t[^>]*>([^<]*)</t>"));
    QStringList strings;
    QRegularExpressionMatchIterator items = item.globalMatch(QString::fromUtf8(xml));
    while (items.hasNext()) {
        QString joined;
        QRegularExpressionMatchIterator texts = text.globalMatch(items.next().captured(1));
        while (texts.hasNext())
            joined += unescaped(texts.next().captured(1));
        strings.append(joined);
    }
    return strings;
}

QMap<QString, XlsxTestPackage::Written> cellsOf(const QByteArray &xml, const QStringList &strings)
{
    static const QRegularExpression cell(QStringLiteral("<c r=\"([A-Z]+\\d+)\"([^>]*?)(?:/>|>(.*?)</c>)"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression formula(QStringLiteral("<f[^>]*>([^<]+)</f>"));
    static const QRegularExpression value(QStringLiteral("<v>([^<]*)</v>"));
    static const QRegularExpression inlineText(QStringLiteral("<t[^>]*>([^<]*)</t>"));
    QMap<QString, XlsxTestPackage::Written> cells;
    QRegularExpressionMatchIterator it = cell.globalMatch(QString::fromUtf8(xml));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString body = match.captured(3);
        const QString type = attribute(match.captured(2), QStringLiteral("t"));
        XlsxTestPackage::Written written;
        if (body.contains(QLatin1String("<f"))) {
            written.formula = unescaped(formula.match(body).captured(1));
            if (written.formula.isEmpty())
                continue;
        } else if (type == QLatin1String("s")) {
            written.value = strings.value(value.match(body).captured(1).toInt());
        } else if (type == QLatin1String("inlineStr")) {
            written.value = unescaped(inlineText.match(body).captured(1));
        } else if (type == QLatin1String("b")) {
            written.value = value.match(body).captured(1) == QLatin1String("1");
        } else if (type.isEmpty() || type == QLatin1String("n")) {
            const QString number = value.match(body).captured(1);
            if (number.isEmpty())
                continue;
            written.value = number.toDouble();
        } else {
            continue;
        }
        cells.insert(match.captured(1), written);
    }
    return cells;
}

} // namespace

QList<XlsxTestPackage::WrittenSheet> XlsxTestPackage::read(const QString &path)
{
    const DocxTestPackage::Parts parts = DocxTestPackage::read(path);
    const QString workbook = QString::fromUtf8(parts.value(QStringLiteral("xl/workbook.xml")));
    const QString relationships = QString::fromUtf8(parts.value(QStringLiteral("xl/_rels/workbook.xml.rels")));
    const QStringList strings = sharedStrings(parts.value(QStringLiteral("xl/sharedStrings.xml")));
    static const QRegularExpression sheet(QStringLiteral("<sheet ([^>]*)/>"));
    static const QRegularExpression relationship(QStringLiteral("<Relationship ([^>]*)/>"));
    QMap<QString, QString> targets;
    QRegularExpressionMatchIterator rels = relationship.globalMatch(relationships);
    while (rels.hasNext()) {
        const QString attributes = rels.next().captured(1);
        targets.insert(attribute(attributes, QStringLiteral("Id")), attribute(attributes, QStringLiteral("Target")));
    }
    QList<WrittenSheet> sheets;
    QRegularExpressionMatchIterator it = sheet.globalMatch(workbook);
    while (it.hasNext()) {
        const QString attributes = it.next().captured(1);
        QString target = targets.value(attribute(attributes, QStringLiteral("r:id")));
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
        sheets.append({attribute(attributes, QStringLiteral("name")), cellsOf(parts.value(target), strings)});
    }
    return sheets;
}
