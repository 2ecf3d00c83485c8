// The DOCX engine of officeBridge as a page meets it: real page script, real
// 7-Zip, templates built here from XML sources, results re-opened part by part.
#include "AppEnv.h"
#include "DesktopOpener.h"
#include "DocxTestPackage.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;
using namespace TestFiles;

namespace {

const QStringList RECORDED_SIGNALS = {QStringLiteral("docxTemplateFinished"),
                                      QStringLiteral("docxTemplateError"),
                                      QStringLiteral("generateDocxFinished"),
                                      QStringLiteral("generateDocxError"),
                                      QStringLiteral("generateFromTemplateStarted"),
                                      QStringLiteral("generateFromTemplateInProcess"),
                                      QStringLiteral("generateFromTemplateFinished"),
                                      QStringLiteral("generateFromTemplateError"),
                                      QStringLiteral("openFileExternalFinished"),
                                      QStringLiteral("openFileExternalError"),
                                      QStringLiteral("openFileOpen"),
                                      QStringLiteral("checkAvailableResult"),
                                      QStringLiteral("saveFileSaved")};

const QStringList FINISHED_ORDER = {QStringLiteral("docxTemplateFinished"), QStringLiteral("generateDocxFinished"),
                                    QStringLiteral("generateFromTemplateFinished")};
const QStringList ERROR_ORDER = {QStringLiteral("docxTemplateError"), QStringLiteral("generateDocxFinished"),
                                 QStringLiteral("generateFromTemplateFinished")};

using Parts = DocxTestPackage::Parts;

class RecordingOpener : public DesktopOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        urls.append(url);
        return true;
    }
    QList<QUrl> urls;
};

QString P(const QString &runs) { return DocxTestPackage::paragraph(runs); }
QString T(const QString &text) { return DocxTestPackage::textRun(text); }
QString F(const QString &name) { return DocxTestPackage::field(name); }

// One table row: a cell showing `fieldName`, optionally vertically merged, and a plain cell.
QString row(const QString &fieldName, const QString &label, bool vMerge = false)
{
    const QString cellProps = vMerge ? QStringLiteral("<w:tcPr><w:vMerge/></w:tcPr>") : QString();
    return QStringLiteral("<w:tr><w:tc>%1%2</w:tc><w:tc>%3</w:tc></w:tr>").arg(cellProps, P(F(fieldName)), P(T(label)));
}

} // namespace

class TestOfficeBridgeDocx : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fillsEveryPartAndKeepsEveryEntry();
    void removesRowsOfEmptyKeyVariables_data();
    void removesRowsOfEmptyKeyVariables();
    void scriptNullAndUndefinedAreAbsentEmptyStringIsPresent();
    void existingOutputIsReplacedWhole();
    void createsMissingOutputFolders();
    void missingTemplateAnswersGenerateDocxError();
    void failedJobsAnswerErrorAndKeepGoodOutput_data();
    void failedJobsAnswerErrorAndKeepGoodOutput();
    void limits_data();
    void limits();
    void sevenZipFaultsAnswerErrorAndKeepGoodOutput_data();
    void sevenZipFaultsAnswerErrorAndKeepGoodOutput();
    void sevenZipCommandLines();
    void nonAsciiNamesAndValues();
    void valueOfTenMegabytesArrivesWhole();
    void pathsWithSpaces();
    void openAfterSaveOpensResultWithDesktop();
    void optionsWithoutFieldsAreTheVariables();
    void outputNameGetsDocxSuffix_data();
    void outputNameGetsDocxSuffix();
    void templateNameChoosesEngine_data();
    void templateNameChoosesEngine();
    void officeMembersAnswerAsWithoutOffice();
    void openFileExternal_data();
    void openFileExternal();

private:
    QString templatePath(const QString &name) const;
    void writeTemplate(const QString &name, const Parts &parts);
    void generate(const QString &templateName, const QVariantMap &options, const QString &output);
    QStringList signalOrder();
    QStringList tempLeftovers() const;
    QString sevenZip() const;
    void expectErrorKeepingGoodOutput(const QString &output, const QString &errorCode);

    QScopedPointer<PageHarness> m_page;
    RecordingOpener m_opener;
};

void TestOfficeBridgeDocx::initTestCase()
{
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
}

void TestOfficeBridgeDocx::init()
{
    m_page.reset(new PageHarness);
    QDir().mkpath(m_page->path(QStringLiteral("integrations/7zip")));
    QVERIFY(QFile::link(sevenZip(), m_page->path(QStringLiteral("integrations/7zip/7z"))));
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge.officeBridge"), RECORDED_SIGNALS);
    m_opener.urls.clear();
    DesktopOpener::install(&m_opener);
}

void TestOfficeBridgeDocx::cleanup()
{
    DesktopOpener::install(nullptr);
    m_page.reset();
}

QString TestOfficeBridgeDocx::sevenZip() const
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z");
}

QString TestOfficeBridgeDocx::templatePath(const QString &name) const
{
    return m_page->contentDir() + QStringLiteral("/data/templates/") + name;
}

void TestOfficeBridgeDocx::writeTemplate(const QString &name, const Parts &parts)
{
    QDir().mkpath(QFileInfo(templatePath(name)).absolutePath());
    QVERIFY(DocxTestPackage::write(templatePath(name), parts));
}

void TestOfficeBridgeDocx::generate(const QString &templateName, const QVariantMap &options, const QString &output)
{
    m_page->clearReceived();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.generateFromTemplate('h1', %1, %2, %3)")
                         .arg(literal(templateName), literal(options), literal(output)));
}

QStringList TestOfficeBridgeDocx::signalOrder()
{
    QStringList names;
    for (const QVariant &entry : m_page->received())
        names.append(entry.toMap().value(QStringLiteral("signal")).toString());
    return names;
}

QStringList TestOfficeBridgeDocx::tempLeftovers() const
{
    return QDir(m_page->path(QStringLiteral("store/tmp")))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void TestOfficeBridgeDocx::fillsEveryPartAndKeepsEveryEntry()
{
    const QString body = P(T(QStringLiteral("Client: ")) + F(QStringLiteral("client")))
            // A field that already has its separator but no result text.
            + P(QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                               "<w:r><w:instrText> DOCVARIABLE city </w:instrText></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"))
            // A field showing a result shows the new value instead.
            + P(QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                               "<w:r><w:instrText> DOCVARIABLE shown </w:instrText></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                               "<w:r><w:t>old </w:t></w:r><w:r><w:t>result</w:t></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"))
            // A blank instruction run between keyword and name keeps its blank.
            + P(QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                               "<w:r><w:instrText xml:space=\"preserve\"> DOCVARIABLE</w:instrText></w:r>"
                               "<w:r><w:instrText xml:space=\"preserve\"> </w:instrText></w:r>"
                               "<w:r><w:instrText xml:space=\"preserve\">spaced </w:instrText></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"));
    Parts parts = DocxTestPackage::minimalParts(body, QStringLiteral("<w:docVar w:name=\"client\" w:val=\"before\"/>"));
    DocxTestPackage::addHeaderFooter(parts, P(F(QStringLiteral("headerVar"))), P(F(QStringLiteral("footerVar"))));
    // Parts without a dot in their name must survive packing too.
    parts[QStringLiteral("customXml/itemNoDot")] = "<x/>";
    writeTemplate(QStringLiteral("letter.docx"), parts);

    const QVariantMap fields{{QStringLiteral("client"), QStringLiteral("ACME")},
                             {QStringLiteral("city"), QStringLiteral("Omsk")},
                             {QStringLiteral("shown"), QStringLiteral("new")},
                             {QStringLiteral("spaced"), QStringLiteral("Tomsk")},
                             {QStringLiteral("headerVar"), QStringLiteral("In the header")},
                             {QStringLiteral("footerVar"), QStringLiteral("In the footer")}};
    generate(QStringLiteral("templates/letter.docx"), {{QStringLiteral("fields"), fields}},
             QStringLiteral("letter-out"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const QString output = m_page->path(QStringLiteral("store/docs/letter-out.docx"));
    QCOMPARE(m_page->received(QStringLiteral("docxTemplateFinished")).at(0),
             (QVariantList{QStringLiteral("h1"), templatePath(QStringLiteral("letter.docx"))}));
    QCOMPARE(m_page->received(QStringLiteral("generateDocxFinished")).at(0),
             (QVariantList{QStringLiteral("h1"), output}));

    const Parts result = DocxTestPackage::read(output);
    QCOMPARE(result.keys(), parts.keys());
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))),
             (QStringList{QStringLiteral("Client: ACME"), QStringLiteral("Omsk"), QStringLiteral("new"),
                          QStringLiteral("Tomsk")}));
    QVERIFY(QString::fromUtf8(result.value(QStringLiteral("word/document.xml")))
                    .contains(QStringLiteral("> DOCVARIABLE</w:instrText></w:r><w:r><w:instrText "
                                             "xml:space=\"preserve\"> </w:instrText></w:r>")));
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/header1.xml"))),
             QStringList{QStringLiteral("In the header")});
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/footer1.xml"))),
             QStringList{QStringLiteral("In the footer")});
    QMap<QString, QString> expectedVars;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        expectedVars.insert(it.key(), it.value().toString());
    QCOMPARE(DocxTestPackage::docVars(result.value(QStringLiteral("word/settings.xml"))), expectedVars);
    QCOMPARE(result.value(QStringLiteral("customXml/itemNoDot")), QByteArray("<x/>"));
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::removesRowsOfEmptyKeyVariables_data()
{
    QTest::addColumn<QString>("value"); // JSON value given for the key variable "amount"
    QTest::addColumn<bool>("vMerge");
    QTest::addColumn<QStringList>("rowsLeft");

    const QStringList all = {QStringLiteral("head"), QStringLiteral("A"), QStringLiteral("B")};
    const QStringList withoutA = {QStringLiteral("head"), QStringLiteral("B")};
    QTest::newRow("empty value removes row") << QStringLiteral("\"\"") << false << withoutA;
    QTest::newRow("blank value removes row") << QStringLiteral("\"  \"") << false << withoutA;
    QTest::newRow("absent value removes row") << QStringLiteral("undefined") << false << withoutA;
    QTest::newRow("value keeps row") << QStringLiteral("\"12\"") << false << all;
    QTest::newRow("vMerge keeps row with empty value") << QStringLiteral("\"\"") << true << all;
}

void TestOfficeBridgeDocx::removesRowsOfEmptyKeyVariables()
{
    QFETCH(QString, value);
    QFETCH(bool, vMerge);
    QFETCH(QStringList, rowsLeft);

    const QString table =
            QStringLiteral("<w:tbl><w:tr><w:tc>%1</w:tc><w:tc>%1</w:tc></w:tr>%2%3</w:tbl>")
                    .arg(P(T(QStringLiteral("head"))), row(QStringLiteral("amount"), QStringLiteral("A"), vMerge),
                         row(QStringLiteral("other"), QStringLiteral("B")));
    writeTemplate(QStringLiteral("rows.docx"), DocxTestPackage::minimalParts(table + P(T(QStringLiteral("after")))));

    m_page->clearReceived();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.generateFromTemplate('h1', 'templates/rows.docx', "
                                "{fields: {amount: %1, other: ''}, clearTablesWithKeys: ['amount']}, 'rows')")
                         .arg(value));
    QCOMPARE(signalOrder(), FINISHED_ORDER);

    const Parts result = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/rows.docx")));
    QDomDocument document;
    QVERIFY(document.setContent(result.value(QStringLiteral("word/document.xml"))));
    QStringList labels;
    const QDomNodeList rows = document.elementsByTagName(QStringLiteral("w:tr"));
    for (int i = 0; i < rows.size(); ++i)
        labels.append(rows.at(i).toElement().elementsByTagName(QStringLiteral("w:tc")).at(1).toElement().text());
    QCOMPARE(labels, rowsLeft);
}

void TestOfficeBridgeDocx::scriptNullAndUndefinedAreAbsentEmptyStringIsPresent()
{
    // A present value gets a result run (an empty one for ""); an absent one leaves the field alone.
    const QString body = P(F(QStringLiteral("nullValue"))) + P(F(QStringLiteral("undefinedValue")))
            + P(F(QStringLiteral("emptyValue"))) + P(F(QStringLiteral("numberValue")));
    writeTemplate(QStringLiteral("values.docx"), DocxTestPackage::minimalParts(body));

    m_page->clearReceived();
    m_page->eval(QStringLiteral(
            "__covrelBridge.officeBridge.generateFromTemplate('h1', 'templates/values.docx', "
            "{fields: {nullValue: null, undefinedValue: undefined, emptyValue: '', numberValue: 2.5}}, 'values')"));
    QCOMPARE(signalOrder(), FINISHED_ORDER);

    const Parts result = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/values.docx")));
    QDomDocument document;
    QVERIFY(document.setContent(result.value(QStringLiteral("word/document.xml"))));
    QStringList separated;
    const QDomNodeList paragraphs = document.elementsByTagName(QStringLiteral("w:p"));
    for (int i = 0; i < paragraphs.size(); ++i) {
        const QDomNodeList chars = paragraphs.at(i).toElement().elementsByTagName(QStringLiteral("w:fldChar"));
        bool hasSeparator = false;
        for (int j = 0; j < chars.size(); ++j)
            hasSeparator |=
                    chars.at(j).toElement().attribute(QStringLiteral("w:fldCharType")) == QLatin1String("separate");
        separated.append(hasSeparator ? QStringLiteral("result") : QStringLiteral("none"));
    }
    QCOMPARE(separated,
             (QStringList{QStringLiteral("none"), QStringLiteral("none"), QStringLiteral("result"),
                          QStringLiteral("result")}));
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))).at(3),
             QStringLiteral("2.5"));
}

void TestOfficeBridgeDocx::existingOutputIsReplacedWhole()
{
    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));
    Parts old = DocxTestPackage::minimalParts(P(T(QStringLiteral("old document"))));
    old[QStringLiteral("word/stale.xml")] = "<stale/>";
    const QString output = m_page->path(QStringLiteral("store/docs/existing.docx"));
    QVERIFY(DocxTestPackage::write(output, old));

    generate(QStringLiteral("templates/t.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("new")}}}},
             QStringLiteral("existing.docx"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const Parts result = DocxTestPackage::read(output);
    QVERIFY(!result.contains(QStringLiteral("word/stale.xml")));
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("new")});
    // No packing leftovers beside the output.
    QCOMPARE(QDir(QFileInfo(output).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("existing.docx")});
}

void TestOfficeBridgeDocx::createsMissingOutputFolders()
{
    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));

    generate(QStringLiteral("templates/t.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("v")}}}},
             QStringLiteral("reports/2024/act"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const QString output = m_page->path(QStringLiteral("store/docs/reports/2024/act.docx"));
    QCOMPARE(DocxTestPackage::paragraphTexts(DocxTestPackage::read(output).value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("v")});
    QCOMPARE(QDir(QFileInfo(output).absolutePath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("act.docx")});
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::missingTemplateAnswersGenerateDocxError()
{
    generate(QStringLiteral("templates/none.docx"), {{QStringLiteral("fields"), QVariantMap()}}, QStringLiteral("x"));

    QCOMPARE(signalOrder(), QStringList{QStringLiteral("generateDocxError")});
    const QVariantList args = m_page->received(QStringLiteral("generateDocxError")).at(0);
    QCOMPARE(args.at(0).toString(), QStringLiteral("h1"));
    QCOMPARE(args.at(1).toString(), QStringLiteral("templates/none.docx"));
    QCOMPARE(args.at(3).toString(), QStringLiteral("errorFile"));
    QCOMPARE(args.at(4).toString(), QStringLiteral("Не найден файл шаблона"));
}

void TestOfficeBridgeDocx::failedJobsAnswerErrorAndKeepGoodOutput_data()
{
    QTest::addColumn<QByteArray>("templateBytes"); // raw bytes, when not a package
    QTest::addColumn<QString>("brokenPart"); // part replaced by broken XML
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errorCode");

    const QString good = QStringLiteral("good.docx");
    QTest::newRow("template is no ZIP") << QByteArray("this is no zip archive") << QString() << good
                                        << QStringLiteral("errorUnpack");
    QTest::newRow("no word/document.xml")
            << QByteArray() << QStringLiteral("-word/document.xml") << good << QStringLiteral("errorUnpack");
    QTest::newRow("broken document.xml") << QByteArray() << QStringLiteral("word/document.xml") << good
                                         << QStringLiteral("errorXml");
    QTest::newRow("broken settings.xml") << QByteArray() << QStringLiteral("word/settings.xml") << good
                                         << QStringLiteral("errorXml");
    QTest::newRow("broken footer1.xml") << QByteArray() << QStringLiteral("word/footer1.xml") << good
                                        << QStringLiteral("errorXml");
    QTest::newRow("output folder cannot be made")
            << QByteArray() << QString() << QStringLiteral("good.docx/dir/out.docx") << QStringLiteral("errorPack");
}

void TestOfficeBridgeDocx::failedJobsAnswerErrorAndKeepGoodOutput()
{
    QFETCH(QByteArray, templateBytes);
    QFETCH(QString, brokenPart);
    QFETCH(QString, output);
    QFETCH(QString, errorCode);

    Parts parts = DocxTestPackage::minimalParts(P(F(QStringLiteral("a"))));
    DocxTestPackage::addHeaderFooter(parts, P(T(QStringLiteral("h"))), P(T(QStringLiteral("f"))));
    if (brokenPart.startsWith(QLatin1Char('-')))
        parts.remove(brokenPart.mid(1));
    else if (!brokenPart.isEmpty())
        parts[brokenPart] = "<w:broken><unclosed></w:broken>";
    if (templateBytes.isEmpty())
        writeTemplate(QStringLiteral("bad.docx"), parts);
    else
        writeFile(templatePath(QStringLiteral("bad.docx")), templateBytes);
    expectErrorKeepingGoodOutput(output, errorCode);
}

// Packages a page or a template author could make to bring the shell down.
void TestOfficeBridgeDocx::limits_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("content"); // replaces the part; empty keeps it
    QTest::addColumn<QVariantMap>("padding"); // part -> spaces appended
    QTest::addColumn<QString>("errorCode");

    const auto documentPart = [](const QString &body) {
        return DocxTestPackage::minimalParts(body).value(QStringLiteral("word/document.xml"));
    };
    const QString document = QStringLiteral("word/document.xml");
    QTest::newRow("document nested 6000 levels deep")
            << document
            << documentPart(QStringLiteral("<w:sdt>").repeated(6000) + P(F(QStringLiteral("a")))
                            + QStringLiteral("</w:sdt>").repeated(6000))
            << QVariantMap() << QStringLiteral("errorXml");
    const QByteArray declaration = "<!DOCTYPE w:document [<!ENTITY e \"expanded\">]>";
    QTest::newRow("document type declaration in the document")
            << document
            << documentPart(P(T(QStringLiteral("&e;")))).replace("?><w:document", "?>" + declaration + "<w:document")
            << QVariantMap() << QStringLiteral("errorXml");
    QTest::newRow("document type declaration in the settings")
            << QStringLiteral("word/settings.xml")
            << QByteArray(DocxTestPackage::minimalParts(QString()).value(QStringLiteral("word/settings.xml")))
                       .replace("?><w:settings", "?>" + declaration + "<w:settings")
            << QVariantMap() << QStringLiteral("errorXml");
    QString attributes;
    for (int i = 0; i < 300; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    QTest::newRow("element with 300 attributes")
            << document << documentPart(QStringLiteral("<w:p%1/>").arg(attributes) + P(F(QStringLiteral("a"))))
            << QVariantMap() << QStringLiteral("errorXml");
    const qint64 megabyte = 1024 * 1024;
    QTest::newRow("document part of 65 MB")
            << document << QByteArray() << QVariantMap{{document, 65 * megabyte}} << QStringLiteral("errorXml");
    QTest::newRow("part expanding to 257 MB")
            << QString() << QByteArray() << QVariantMap{{QStringLiteral("word/media/image1.png"), 257 * megabyte}}
            << QStringLiteral("errorUnpack");
    QVariantMap gigabyte;
    for (int i = 1; i <= 5; ++i)
        gigabyte.insert(QStringLiteral("word/media/image%1.png").arg(i), 210 * megabyte);
    QTest::newRow("package expanding to 1 GB")
            << QString() << QByteArray() << gigabyte << QStringLiteral("errorUnpack");
}

void TestOfficeBridgeDocx::limits()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, content);
    QFETCH(QVariantMap, padding);
    QFETCH(QString, errorCode);

    Parts parts = DocxTestPackage::minimalParts(P(F(QStringLiteral("a"))));
    if (!content.isEmpty())
        parts[part] = content;
    QVERIFY(DocxTestPackage::write(templatePath(QStringLiteral("bad.docx")), parts, padding));
    expectErrorKeepingGoodOutput(QStringLiteral("good.docx"), errorCode);
}

void TestOfficeBridgeDocx::expectErrorKeepingGoodOutput(const QString &output, const QString &errorCode)
{
    const QString goodOutput = m_page->path(QStringLiteral("store/docs/good.docx"));
    QVERIFY(DocxTestPackage::write(goodOutput, DocxTestPackage::minimalParts(P(T(QStringLiteral("keep me"))))));
    const QByteArray goodBytes = readFile(goodOutput);
    const QByteArray templateBefore = readFile(templatePath(QStringLiteral("bad.docx")));

    generate(QStringLiteral("templates/bad.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("v")}}}}, output);

    QCOMPARE(signalOrder(), ERROR_ORDER);
    const QVariantList error = m_page->received(QStringLiteral("docxTemplateError")).at(0);
    QCOMPARE(error.at(0).toString(), QStringLiteral("h1"));
    QCOMPARE(error.at(1).toString(), templatePath(QStringLiteral("bad.docx")));
    QCOMPARE(error.at(2).toString(), errorCode);
    QVERIFY2(error.at(3).toString().contains(QRegularExpression(QStringLiteral("[А-Яа-я]"))),
             qPrintable(error.at(3).toString()));
    QCOMPARE(readFile(goodOutput), goodBytes);
    QCOMPARE(readFile(templatePath(QStringLiteral("bad.docx"))), templateBefore);
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::sevenZipFaultsAnswerErrorAndKeepGoodOutput_data()
{
    QTest::addColumn<QString>("script"); // body of a 7-Zip stand-in; REAL is the real one
    QTest::addColumn<QString>("errorCode");

    QTest::newRow("unpack crashes") << QStringLiteral("[ \"$1\" = x ] && kill -SEGV $$\nexec \"$REAL\" \"$@\"")
                                    << QStringLiteral("errorUnpack");
    QTest::newRow("unpack ends ok but writes nothing")
            << QStringLiteral("[ \"$1\" = x ] && exit 0\nexec \"$REAL\" \"$@\"") << QStringLiteral("errorUnpack");
    QTest::newRow("unpack fatal error") << QStringLiteral("[ \"$1\" = x ] && exit 2\nexec \"$REAL\" \"$@\"")
                                        << QStringLiteral("errorUnpack");
    QTest::newRow("pack crashes") << QStringLiteral("[ \"$1\" = a ] && kill -SEGV $$\nexec \"$REAL\" \"$@\"")
                                  << QStringLiteral("errorPack");
    QTest::newRow("pack writes garbage and fails")
            << QStringLiteral("if [ \"$1\" = a ]; then echo garbage > \"$4\"; exit 2; fi\n"
                              "exec \"$REAL\" \"$@\"")
            << QStringLiteral("errorPack");
    QTest::newRow("7-Zip cannot start") << QString() << QStringLiteral("errorUnpack");
}

void TestOfficeBridgeDocx::sevenZipFaultsAnswerErrorAndKeepGoodOutput()
{
    QFETCH(QString, script);
    QFETCH(QString, errorCode);

    QTemporaryDir tools;
    const QString fake = tools.filePath(QStringLiteral("7z"));
    if (script.isEmpty()) {
        writeFile(fake, "not a program"); // exists, so 7-Zip counts as available, but cannot start
    } else {
        writeFile(fake, QStringLiteral("#!/bin/sh\nREAL='%1'\n%2\n").arg(sevenZip(), script).toUtf8());
        QFile(fake).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    AppEnv::setPathTo7ZipExe(fake);

    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));
    const QString goodOutput = m_page->path(QStringLiteral("store/docs/good.docx"));
    QVERIFY(DocxTestPackage::write(goodOutput, DocxTestPackage::minimalParts(P(T(QStringLiteral("keep me"))))));
    const QByteArray goodBytes = readFile(goodOutput);

    generate(QStringLiteral("templates/t.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("v")}}}},
             QStringLiteral("good.docx"));

    QCOMPARE(signalOrder(), ERROR_ORDER);
    QCOMPARE(m_page->received(QStringLiteral("docxTemplateError")).at(0).at(2).toString(), errorCode);
    QCOMPARE(readFile(goodOutput), goodBytes);
    QCOMPARE(QDir(QFileInfo(goodOutput).absolutePath())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("good.docx")});
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::sevenZipCommandLines()
{
    // A stand-in that notes its arguments, one run a line, and lets the real 7-Zip work.
    QTemporaryDir tools;
    const QString fake = tools.filePath(QStringLiteral("7z"));
    const QString calls = tools.filePath(QStringLiteral("calls"));
    writeFile(fake,
              QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\nexec '%2' \"$@\"\n").arg(calls, sevenZip()).toUtf8());
    QFile(fake).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AppEnv::setPathTo7ZipExe(fake);
    writeTemplate(QStringLiteral("report.final.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));

    generate(QStringLiteral("templates/report.final.docx"), {{QStringLiteral("fields"), QVariantMap()}},
             QStringLiteral("r"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const QStringList runs = QString::fromUtf8(readFile(calls)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(runs.size(), 2);
    const QString tmp = QRegularExpression::escape(m_page->path(QStringLiteral("store/tmp")));
    const QString docs = QRegularExpression::escape(m_page->path(QStringLiteral("store/docs")));
    const QRegularExpression unpack(QStringLiteral("^x -o%1/(fn[0-9A-F]{8}) -r -- %1/report\\.zip$").arg(tmp));
    const QRegularExpressionMatch unpacked = unpack.match(runs.at(0));
    QVERIFY2(unpacked.hasMatch(), qPrintable(runs.at(0)));
    const QRegularExpression pack(QStringLiteral("^a -r -- %1/\\.covrel-pack-\\w+/package\\.zip %2/%3/\\*$")
                                          .arg(docs, tmp, unpacked.captured(1)));
    QVERIFY2(pack.match(runs.at(1)).hasMatch(), qPrintable(runs.at(1)));
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::nonAsciiNamesAndValues()
{
    const QString body =
            P(T(QStringLiteral("Заказчик: ")) + F(QStringLiteral("Заказчик"))) + P(F(QStringLiteral("Straße")));
    writeTemplate(QStringLiteral("юникод.docx"), DocxTestPackage::minimalParts(body));

    const QVariantMap fields{{QStringLiteral("Заказчик"), QStringLiteral("ООО «Ромашка» — №1")},
                             {QStringLiteral("Straße"), QStringLiteral("Größe ½ 日本")}};
    generate(QStringLiteral("templates/юникод.docx"), {{QStringLiteral("fields"), fields}},
             QStringLiteral("результат"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const Parts result = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/результат.docx")));
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))),
             (QStringList{QStringLiteral("Заказчик: ООО «Ромашка» — №1"), QStringLiteral("Größe ½ 日本")}));
    QCOMPARE(DocxTestPackage::docVars(result.value(QStringLiteral("word/settings.xml")))
                     .value(QStringLiteral("Заказчик")),
             QStringLiteral("ООО «Ромашка» — №1"));
}

void TestOfficeBridgeDocx::valueOfTenMegabytesArrivesWhole()
{
    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));
    // Markup characters and white space all through: each costs an escape.
    const QString unit = QStringLiteral("a<b&c\"d>]]>\n\tЖ ");
    const int repeats = 10 * 1024 * 1024 / unit.size();
    m_page->clearReceived();
    m_page->eval(QStringLiteral("var big = new Array(%1).join(%2);"
                                "__covrelBridge.officeBridge.generateFromTemplate('h1', 'templates/t.docx', "
                                "{fields: {a: big}}, 'big')")
                         .arg(repeats + 1)
                         .arg(literal(unit)));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const QString value = unit.repeated(repeats);
    const Parts result = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/big.docx")));
    QVERIFY(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))) == QStringList{value});
    QVERIFY(DocxTestPackage::docVars(result.value(QStringLiteral("word/settings.xml"))).value(QStringLiteral("a"))
            == value);
}

void TestOfficeBridgeDocx::pathsWithSpaces()
{
    writeTemplate(QStringLiteral("with space/my template.docx"),
                  DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));
    QTemporaryDir outDir(QDir::tempPath() + QStringLiteral("/out dir XXXXXX"));
    const QString output = outDir.filePath(QStringLiteral("my result.docx"));

    generate(QStringLiteral("templates/with space/my template.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("spaced")}}}}, output);

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    QCOMPARE(DocxTestPackage::paragraphTexts(DocxTestPackage::read(output).value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("spaced")});
}

void TestOfficeBridgeDocx::openAfterSaveOpensResultWithDesktop()
{
    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));

    generate(QStringLiteral("templates/t.docx"),
             {{QStringLiteral("fields"), QVariantMap{{QStringLiteral("a"), QStringLiteral("v")}}},
              {QStringLiteral("openAfterSave"), true}},
             QStringLiteral("opened"));

    const QString output = m_page->path(QStringLiteral("store/docs/opened.docx"));
    QCOMPARE(signalOrder(),
             (QStringList{QStringLiteral("docxTemplateFinished"), QStringLiteral("openFileExternalFinished"),
                          QStringLiteral("openFileOpen"), QStringLiteral("generateDocxFinished"),
                          QStringLiteral("generateFromTemplateFinished")}));
    QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(output)});
    // The finished signal carries the options as they are by then: "fields" taken out.
    const QVariantMap options = m_page->received(QStringLiteral("generateFromTemplateFinished")).at(0).at(2).toMap();
    QCOMPARE(options.keys(), QStringList{QStringLiteral("openAfterSave")});
}

void TestOfficeBridgeDocx::optionsWithoutFieldsAreTheVariables()
{
    writeTemplate(QStringLiteral("t.docx"), DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));

    generate(QStringLiteral("templates/t.docx"), {{QStringLiteral("a"), QStringLiteral("direct")}},
             QStringLiteral("direct"));

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const Parts result = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/direct.docx")));
    QCOMPARE(DocxTestPackage::paragraphTexts(result.value(QStringLiteral("word/document.xml"))),
             QStringList{QStringLiteral("direct")});
    const QMap<QString, QString> vars = DocxTestPackage::docVars(result.value(QStringLiteral("word/settings.xml")));
    QCOMPARE(vars.keys(), (QStringList{QStringLiteral("a"), QStringLiteral("openAfterSave")}));
    QCOMPARE(vars.value(QStringLiteral("openAfterSave")), QString(""));
}

void TestOfficeBridgeDocx::outputNameGetsDocxSuffix_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("written");

    QTest::newRow("no suffix") << QStringLiteral("t.docx") << QStringLiteral("report") << QStringLiteral("report.docx");
    QTest::newRow("upper-case suffix") << QStringLiteral("t.docx") << QStringLiteral("x.DOCX")
                                       << QStringLiteral("x.DOCX.docx");
    QTest::newRow("upper-case template") << QStringLiteral("T.DOCX") << QStringLiteral("y.docx")
                                         << QStringLiteral("y.docx");
}

void TestOfficeBridgeDocx::outputNameGetsDocxSuffix()
{
    QFETCH(QString, templateName);
    QFETCH(QString, output);
    QFETCH(QString, written);

    writeTemplate(templateName, DocxTestPackage::minimalParts(P(F(QStringLiteral("a")))));
    generate(QStringLiteral("templates/") + templateName, {{QStringLiteral("fields"), QVariantMap()}}, output);

    QCOMPARE(signalOrder(), FINISHED_ORDER);
    const QString path = m_page->path(QStringLiteral("store/docs/") + written);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateFinished")).at(0).at(4).toString(), path);
    QVERIFY(!DocxTestPackage::read(path).isEmpty());
}

void TestOfficeBridgeDocx::templateNameChoosesEngine_data()
{
    QTest::addColumn<QString>("templateName"); // relative to the content data folder
    QTest::addColumn<QString>("firstSignal");
    QTest::addColumn<QString>("lastSignal"); // without an office suite here

    QTest::newRow("upper-case .DOCX goes to the DOCX engine")
            << QStringLiteral("a.DOCX") << QStringLiteral("docxTemplateFinished")
            << QStringLiteral("generateFromTemplateFinished");
    QTest::newRow(".dotx goes to the office engine")
            << QStringLiteral("a.dotx") << QStringLiteral("generateFromTemplateStarted")
            << QStringLiteral("generateFromTemplateError");
    QTest::newRow("name starting with .docx goes to the office engine")
            << QStringLiteral(".docx") << QStringLiteral("generateFromTemplateStarted")
            << QStringLiteral("generateFromTemplateError");
}

void TestOfficeBridgeDocx::templateNameChoosesEngine()
{
    QFETCH(QString, templateName);
    QFETCH(QString, firstSignal);
    QFETCH(QString, lastSignal);

    QVERIFY(DocxTestPackage::write(m_page->contentDir() + QStringLiteral("/data/") + templateName,
                                   DocxTestPackage::minimalParts(P(F(QStringLiteral("a"))))));
    generate(templateName, {{QStringLiteral("fields"), QVariantMap()}}, QStringLiteral("out"));
    QCOMPARE(signalOrder().value(0), firstSignal);
    QCOMPARE(signalOrder().last(), lastSignal);
}

void TestOfficeBridgeDocx::officeMembersAnswerAsWithoutOffice()
{
    m_page->clearReceived();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    if (m_page->received(QStringLiteral("checkAvailableResult")).value(0).value(1).toBool())
        QSKIP("An office suite is available here: this case is about answers without one");
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")),
             QList<QVariantList>{(QVariantList{QStringLiteral("c1"), false, QStringLiteral("office_not_installed")})});
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString(), QString());

    // A template that is no .docx goes to the office engine, which says at once
    // that there is no office suite to write it.
    writeFile(templatePath(QStringLiteral("t.dotx")), "dotx");
    generate(QStringLiteral("templates/t.dotx"),
             {{QStringLiteral("fields"),
               QVariantMap{{QStringLiteral("a"), QStringLiteral("1")}, {QStringLiteral("b"), QStringLiteral("2")}}}},
             QStringLiteral("report"));
    QCOMPARE(signalOrder(),
             (QStringList{QStringLiteral("generateFromTemplateStarted"), QStringLiteral("generateFromTemplateError")}));
    const QVariantList error = m_page->received(QStringLiteral("generateFromTemplateError")).at(0);
    QCOMPARE(error.at(4).toString(), m_page->path(QStringLiteral("store/docs/report.dotx")));
    QCOMPARE(error.at(5).toString(), QStringLiteral("errorCode:office_not_installed"));
    QCOMPARE(tempLeftovers(), QStringList());
}

void TestOfficeBridgeDocx::openFileExternal_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("opened"); // relative to the installation

    QTest::newRow("content file") << QStringLiteral(
            "data/doc.txt") << QStringList{QStringLiteral("openFileExternalFinished"), QStringLiteral("openFileOpen")}
                                  << QString() << QStringLiteral("content/data/doc.txt");
    QTest::newRow("missing file") << QStringLiteral(
            "data/none.txt") << QStringList{QStringLiteral("openFileExternalError"), QStringLiteral("openFileOpen")}
                                  << QStringLiteral("Файл не найден. %1/content/data/none.txt") << QString();
    QTest::newRow("empty path") << QString()
                                << QStringList{QStringLiteral("openFileExternalError"), QStringLiteral("openFileOpen")}
                                << QStringLiteral("Путь к файлу не задан.") << QString();
}

void TestOfficeBridgeDocx::openFileExternal()
{
    QFETCH(QString, path);
    QFETCH(QStringList, order);
    QFETCH(QString, message);
    QFETCH(QString, opened);

    writeFile(m_page->path(QStringLiteral("content/data/doc.txt")), "text");
    m_page->clearReceived();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.openFile('o1', '%1')").arg(path));

    QCOMPARE(signalOrder(), order);
    if (!message.isEmpty())
        QCOMPARE(m_page->received(QStringLiteral("openFileExternalError")).at(0),
                 (QVariantList{QStringLiteral("o1"), path, message.arg(m_page->appDir())}));
    const QList<QUrl> expected =
            opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl::fromLocalFile(m_page->path(opened))};
    QCOMPARE(m_opener.urls, expected);
}

QTEST_MAIN(TestOfficeBridgeDocx)
#include "TestOfficeBridgeDocx.moc"
