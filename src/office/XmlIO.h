#pragma once

#include <QDomDocument>
#include <QFile>
#include <QObject>
#include <QString>

// Reads, parses and writes back one XML part of an unpacked package.
// A part that did not parse is never written: save() refuses it and returns
// false, so a broken part stays on disk exactly as it was.
class XmlIO : public QObject
{
    Q_OBJECT
public:
    // No honest part comes near this; its tree would take some twenty times as much memory.
    static const qint64 MAX_PART_BYTES = 64 * 1024 * 1024;

    explicit XmlIO(const QString &fullPath, const QString &outputPath, QObject *parent = nullptr);

    // Reads the input file as UTF-8 into documentFileContent() and parses it unless it breaks a bound of
    // XmlPartScan; false when it cannot be opened or is larger than MAX_PART_BYTES.
    bool readContent();
    // Parses the input file into content(); false (with errorString()) on an open or parse failure,
    // and for a part beyond the bounds of XmlPartScan or larger than MAX_PART_BYTES.
    bool contentToQDom();
    // Writes content() to outputpath() as UTF-8 without BOM or indentation; false (nothing written)
    // unless the last contentToQDom() succeeded, and false when the file cannot be written.
    bool save();

    // The parse and write steps on bytes, without files: parse() is what
    // contentToQDom() does with the file's text, serialized() what save() writes.
    bool parse(const QByteArray &bytes);
    QByteArray serialized() const;

    // True when the last contentToQDom() succeeded.
    bool isParsed() const;
    // Why the last read, parse or save failed (the logged text); empty after success.
    QString errorString() const;

    QString fullPath() const;
    void setFullPath(const QString &path);
    QString outputpath() const;
    void setOutputpath(const QString &path);
    // The parsed document (implicitly shared: edits through the copy reach this object).
    QDomDocument content() const;
    // The raw text read by readContent().
    QString documentFileContent() const;

protected:
    // Reads the raw text only; for callers that parse with contentToQDom()
    // right after, where a first parse would be thrown away.
    bool readRawText();

    // `text` without the characters XML 1.0 cannot carry (control characters other than
    // tab, line feed and carriage return): the DOM would write them raw and break the part.
    static QString xmlSafeText(const QString &text);
    // Opens the input file for reading; false (logged) when it cannot be opened or is too large.
    bool openInput();
    // False (logged) when `text` breaks a bound of XmlPartScan: it must not be parsed.
    bool withinBounds(const QString &text);
    static QString declarationFor(const QString &parsed);
    void setError(const QString &code, const QString &message);

    QDomDocument m_content;
    QString m_documentFileContent;
    QFile m_inputFile;
    QFile m_outputFile;
    QString m_fullPath;
    QString m_outputPath;
    bool m_parsed = false;
    QString m_errorString;
};
