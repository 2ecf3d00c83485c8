#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// DOCX packages for tests, written and read with Python's zipfile module, so
// what the code under test packs with 7-Zip is checked by an independent reader.
class DocxTestPackage
{
public:
    using Parts = QMap<QString, QByteArray>;

    // The parts of a minimal valid package around `bodyXml` (the inside of
    // w:body), with a settings part holding `docVarsXml` inside w:docVars when given.
    static Parts minimalParts(const QString &bodyXml, const QString &docVarsXml = QString());
    // Adds word/header1.xml and word/footer1.xml (with their relationships) to `parts`.
    static void addHeaderFooter(Parts &parts, const QString &headerBodyXml, const QString &footerBodyXml);

    // A complex DOCVARIABLE field (begin, instruction, end) for `name`.
    static QString field(const QString &name);
    static QString paragraph(const QString &runsXml);
    static QString textRun(const QString &text);

    // `padding` maps part names to a number of spaces appended to the part (created when
    // missing), packed as they are written: packages that expand to gigabytes stay small.
    static bool write(const QString &zipPath, const Parts &parts, const QVariantMap &padding = QVariantMap());
    // The parts of a package; empty when it is no valid ZIP (a CRC error counts).
    static Parts read(const QString &zipPath);

    // The concatenated w:t texts of each w:p of a part, in document order.
    static QStringList paragraphTexts(const QByteArray &partXml);
    // name -> value of every w:docVar of a settings part.
    static QMap<QString, QString> docVars(const QByteArray &settingsXml);
};
