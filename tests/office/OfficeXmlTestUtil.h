#pragma once

#include <QByteArray>
#include <QString>

// Small builders and file helpers for tests on WordprocessingML parts.
namespace OfficeXmlTestUtil {

QString documentPart(const QString &bodyXml);
QString headerPart(const QString &contentXml);
QString footerPart(const QString &contentXml);
QString settingsPart(const QString &contentXml);

// Runs as Word writes them; `bold` adds run properties a copy must keep.
QString beginRun();
QString instrRun(const QString &text, bool bold = true);
QString separateRun();
QString endRun();
QString textRun(const QString &text);
// The runs the fill inserts after an instruction run built by instrRun(..., bold).
QString insertedSeparateRun(bool bold = true);
QString insertedValueRun(const QString &value, bool bold = true);
QString paragraph(const QString &runs);
// A row whose first cell holds `marker` and whose second cell holds `cellContent` paragraphs.
QString row(const QString &marker, const QString &cellContent, const QString &cellProperties = QString());
QString table(const QString &rows);

// The raw text between <w:body> and </w:body> (or inside a header/footer root) as written on disk.
QString bodyText(const QString &path);
// Markers (first-cell texts) of the table rows still present, in order.
QStringList rowMarkers(const QString &path);

} // namespace OfficeXmlTestUtil
