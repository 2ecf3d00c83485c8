// A part of a DOCX package (the document, a header, a footer or the settings)
// as a template brings it: parsed, its variable fields filled and table rows
// cleared, its document variables written, then written back. Whatever is
// written must parse again, and every variable must be in the settings.
#include "DocumentXML.h"
#include "FuzzSupport.h"
#include "SettingsXML.h"

#include <QDomElement>

namespace {

struct Variable
{
    QString name;
    QString value;
    QString stored; // what the settings part holds afterwards
};

const QList<Variable> &fixedVariables()
{
    static const QList<Variable> list{
            {QStringLiteral("name"), QStringLiteral("Иванов <Иван> & \"сын\""),
             QStringLiteral("Иванов <Иван> & \"сын\"")},
            {QStringLiteral("empty"), QStringLiteral(""), QStringLiteral("")},
            {QStringLiteral("absent"), QString(), QString()},
            {QStringLiteral("control"), QStringLiteral("a\x01z\x0b\tTab\nLine\r]]>"),
             QStringLiteral("az\tTab\nLine\r]]>")},
            {QStringLiteral("long"), QString(300, QLatin1Char('x')), QString(300, QLatin1Char('x'))},
    };
    return list;
}

TemplateVariables variables()
{
    TemplateVariables result;
    for (const Variable &variable : fixedVariables())
        result.insert(variable.name, variable.value);
    return result;
}

const QStringList kRowKeys{QStringLiteral("empty"), QStringLiteral("absent"), QStringLiteral("row")};

QByteArray reparsed(const QByteArray &written)
{
    DocumentXML again{QString(), QString()};
    FUZZ_CHECK(again.parse(written), written);
    return again.serialized();
}

void fillFields(const QByteArray &part)
{
    DocumentXML document{QString(), QString()};
    if (!document.parse(part))
        return;
    document.updateVars(variables(), kRowKeys);
    const QByteArray written = document.serialized();
    reparsed(written);
    // A second run over a filled part keeps the results it shows.
    DocumentXML filled{QString(), QString()};
    filled.parse(written);
    filled.updateVars(variables(), kRowKeys);
    reparsed(filled.serialized());
}

void clearRows(const QByteArray &part)
{
    DocumentXML document{QString(), QString()};
    if (!document.parse(part))
        return;
    document.clearTableRows(kRowKeys);
    reparsed(document.serialized());
}

QString storedValue(const QDomDocument &settings, const QString &name)
{
    const QDomNodeList docVars = settings.elementsByTagName(QStringLiteral("w:docVar"));
    for (int i = 0; i < docVars.size(); ++i) {
        const QDomElement docVar = docVars.at(i).toElement();
        if (docVar.attribute(QStringLiteral("w:name")) == name)
            return docVar.attribute(QStringLiteral("w:val"));
    }
    return QStringLiteral("<missing>");
}

void writeSettings(const QByteArray &part)
{
    SettingsXML settings{QString(), QString()};
    if (!settings.parse(part) || !settings.updateVars(variables()))
        return;
    const QByteArray written = settings.serialized();
    SettingsXML again{QString(), QString()};
    FUZZ_CHECK(again.parse(written), written);
    for (const Variable &variable : fixedVariables())
        FUZZ_CHECK(storedValue(again.content(), variable.name) == variable.stored,
                   variable.name.toUtf8() + ": " + storedValue(again.content(), variable.name).toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    const QByteArray part = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    fillFields(part);
    clearRows(part);
    writeSettings(part);
    return 0;
}
