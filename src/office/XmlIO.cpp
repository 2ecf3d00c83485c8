#include "XmlIO.h"

#include "XmlPartScan.h"
#include "XmlWriter.h"

#include <QDebug>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>

XmlIO::XmlIO(const QString &fullPath, const QString &outputPath, QObject *parent)
    : QObject(parent)
    , m_fullPath(fullPath)
    , m_outputPath(outputPath)
{ }

bool XmlIO::readContent()
{
    if (!readRawText())
        return false;
    if (withinBounds(m_documentFileContent))
        m_content.setContent(m_documentFileContent, false);
    return true;
}

bool XmlIO::readRawText()
{
    if (!openInput())
        return false;
    QTextStream stream(&m_inputFile);
    stream.setCodec(QTextCodec::codecForName("UTF-8"));
    m_documentFileContent = stream.readAll();
    m_inputFile.close();
    return true;
}

bool XmlIO::contentToQDom()
{
    m_parsed = false;
    // A failed parse must not leave the previous (or a half-built) tree behind.
    m_content = QDomDocument();
    if (!openInput())
        return false;
    const QByteArray bytes = m_inputFile.readAll();
    m_inputFile.close();
    return parse(bytes);
}

bool XmlIO::parse(const QByteArray &bytes)
{
    m_parsed = false;
    m_content = QDomDocument();
    if (!withinBounds(QTextCodec::codecForUtfText(bytes, QTextCodec::codecForName("UTF-8"))->toUnicode(bytes)))
        return false;
    QString message;
    int line = 0;
    int column = 0;
    if (!m_content.setContent(bytes, false, &message, &line, &column)) {
        m_content = QDomDocument();
        setError(QStringLiteral("xmlDocumentError"),
                 QStringLiteral("Faled to load documet: %1, %2, %3").arg(message).arg(line).arg(column));
        return false;
    }
    if (m_content.isNull()) {
        setError(QStringLiteral("fileError"), QStringLiteral("document is null! %1").arg(m_fullPath));
        return false;
    }
    m_parsed = true;
    m_errorString.clear();
    return true;
}

bool XmlIO::save()
{
    // Writing back a part that did not parse would replace it with an empty file.
    if (!m_parsed) {
        setError(QStringLiteral("xmlDocumentError"),
                 QStringLiteral("Not saved, document was not parsed: %1").arg(m_fullPath));
        return false;
    }
    m_outputFile.setFileName(m_outputPath);
    if (!m_outputFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        setError(QStringLiteral("fileError"), QStringLiteral("Failed to open file for write: %1").arg(m_outputPath));
        return false;
    }
    const QByteArray bytes = serialized();
    const bool written = m_outputFile.write(bytes) == bytes.size() && m_outputFile.flush();
    m_outputFile.close();
    if (!written) {
        setError(QStringLiteral("fileError"), QStringLiteral("Failed to write file: %1").arg(m_outputPath));
        return false;
    }
    m_errorString.clear();
    return true;
}

bool XmlIO::openInput()
{
    m_inputFile.setFileName(m_fullPath);
    if (!m_inputFile.open(QIODevice::ReadOnly | QIODevice::Text)) {
        setError(QStringLiteral("fileError"), QStringLiteral("Faled to open file for reading: %1").arg(m_fullPath));
        return false;
    }
    if (m_inputFile.size() > MAX_PART_BYTES) {
        m_inputFile.close();
        setError(QStringLiteral("xmlDocumentError"),
                 QStringLiteral("Refused, larger than %1 bytes: %2").arg(MAX_PART_BYTES).arg(m_fullPath));
        return false;
    }
    return true;
}

bool XmlIO::withinBounds(const QString &text)
{
    const QString refused = XmlPartScan::check(text);
    if (refused.isEmpty())
        return true;
    setError(QStringLiteral("xmlDocumentError"), QStringLiteral("Refused, %1: %2").arg(refused, m_fullPath));
    return false;
}

QByteArray XmlIO::serialized() const
{
    QString text = XmlWriter::toString(m_content);
    const int declarationEnd = text.startsWith(QLatin1String("<?xml")) ? text.indexOf(QLatin1String("?>")) : -1;
    if (declarationEnd > 0)
        text.replace(0, declarationEnd + 2, declarationFor(text.left(declarationEnd)));
    return QTextCodec::codecForName("UTF-8")->fromUnicode(text);
}

// The declaration of what serialized() writes: XML 1.0 in UTF-8, whatever
// encoding the part came in (UTF-16, a code page), keeping a valid standalone
// flag. The DOM would write the parsed declaration back, naming the old
// encoding and with quotes inside its values left unescaped.
QString XmlIO::declarationFor(const QString &parsed)
{
    static const QRegularExpression standalone(QStringLiteral("standalone\\s*=\\s*(['\"])(yes|no)\\1"));
    const QRegularExpressionMatch match = standalone.match(parsed);
    const QString flag = match.hasMatch() ? QStringLiteral(" standalone='%1'").arg(match.captured(2)) : QString();
    return QStringLiteral("<?xml version='1.0' encoding='UTF-8'%1?>").arg(flag);
}

bool XmlIO::isParsed() const { return m_parsed; }

QString XmlIO::errorString() const { return m_errorString; }

QString XmlIO::fullPath() const { return m_fullPath; }

void XmlIO::setFullPath(const QString &path) { m_fullPath = path; }

QString XmlIO::outputpath() const { return m_outputPath; }

void XmlIO::setOutputpath(const QString &path) { m_outputPath = path; }

QDomDocument XmlIO::content() const { return m_content; }

QString XmlIO::documentFileContent() const { return m_documentFileContent; }

QString XmlIO::xmlSafeText(const QString &text)
{
    if (text.isNull())
        return text;
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool allowed = u >= 0x20 ? (u != 0xFFFE && u != 0xFFFF) : (u == 0x09 || u == 0x0A || u == 0x0D);
        if (allowed)
            safe.append(c);
    }
    return safe;
}

void XmlIO::setError(const QString &code, const QString &message)
{
    m_errorString = message;
    qDebug().noquote() << code << message;
}
