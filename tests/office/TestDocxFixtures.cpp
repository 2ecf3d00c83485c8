// Real Word-made templates through the page's generateFromTemplate with real
// 7-Zip; each result must unzip, parse, carry the values, and convert to a
// PDF showing them in LibreOffice.
#include "DocxTestPackage.h"
#include "PageHarness.h"
#include "ScriptText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QScopedPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;

namespace {

using Parts = DocxTestPackage::Parts;

QString fixturesDir() { return qEnvironmentVariable("COVREL_SHARED_DIR") + QStringLiteral("/fixtures/docx"); }

QString sevenZip() { return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z"); }

QString withoutSpace(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

QString allText(const Parts &parts, const QString &partName)
{
    return DocxTestPackage::paragraphTexts(parts.value(partName)).join(QLatin1Char('\n'));
}

} // namespace

class TestDocxFixtures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wordMadeTemplates_data();
    void wordMadeTemplates();

private:
    // The text of the PDF LibreOffice makes of `docx`; a null string when it failed.
    QString pdfText(const QString &docx, const QString &outDir);

    QScopedPointer<QTemporaryDir> m_officeProfile;
    QString m_soffice;
};

void TestDocxFixtures::initTestCase()
{
    if (!QFileInfo(fixturesDir()).isDir())
        QSKIP("The shared fixtures folder (COVREL_SHARED_DIR/fixtures/docx) is absent");
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
    m_soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    m_officeProfile.reset(new QTemporaryDir);
}

void TestDocxFixtures::wordMadeTemplates_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QVariantMap>("partTexts"); // part name -> list of texts the part must show
    QTest::addColumn<QStringList>("pdfTexts");

    const auto map = [](std::initializer_list<std::pair<QString, QVariant>> items) {
        QVariantMap result;
        for (const auto &item : items)
            result.insert(item.first, item.second);
        return result;
    };
    const QString document = QStringLiteral("word/document.xml");

    QTest::newRow("all fields in table cells")
            << QStringLiteral("docvar-all-in-cells_gutenberg-SampleApplyTable.docx")
            << map({{QStringLiteral("Content.Rule.Header"), QStringLiteral("RuleHeaderQ1")},
                    {QStringLiteral("Content.Rule.Title1"), QStringLiteral("Заголовок один")},
                    {QStringLiteral("Content.Rule.Table1"), QStringLiteral("TableOneQ3")},
                    {QStringLiteral("Content.Rule.Title3"), QStringLiteral("TitleThreeQ6")},
                    {QStringLiteral("Content.Rule.Table3"), QStringLiteral("TableThreeQ7")}})
            << map({{document,
                     QStringList{QStringLiteral("RuleHeaderQ1"), QStringLiteral("Заголовок один"),
                                 QStringLiteral("TableOneQ3"), QStringLiteral("TitleThreeQ6"),
                                 QStringLiteral("TableThreeQ7")}}})
            << QStringList{QStringLiteral("RuleHeaderQ1"), QStringLiteral("Заголовок один"),
                           QStringLiteral("TableThreeQ7")};

    QTest::newRow("fields in body, header and footer")
            << QStringLiteral("docvar-header-footer-tables_gutenberg-Sample.docx")
            << map({{QStringLiteral("Content.Entity.Name"), QStringLiteral("EntityNameQ1")},
                    {QStringLiteral("Content.Entity.Place"), QStringLiteral("Новосибирск")},
                    {QStringLiteral("Content.Entity.Date"), QStringLiteral("2026-12-08")},
                    {QStringLiteral("Header.Entity.Name"), QStringLiteral("HeaderNameQ2")},
                    {QStringLiteral("Footer.DateTime"), QStringLiteral("FooterTimeQ3")},
                    {QStringLiteral("Footer.Creator"), QStringLiteral("FooterCreatorQ4")}})
            << map({{document,
                     QStringList{QStringLiteral("EntityNameQ1"), QStringLiteral("Новосибирск"),
                                 QStringLiteral("2026-12-08")}},
                    {QStringLiteral("word/header1.xml"), QStringList{QStringLiteral("HeaderNameQ2")}},
                    {QStringLiteral("word/footer1.xml"),
                     QStringList{QStringLiteral("FooterTimeQ3"), QStringLiteral("FooterCreatorQ4")}}})
            << QStringList{QStringLiteral("EntityNameQ1"), QStringLiteral("Новосибирск"),
                           QStringLiteral("HeaderNameQ2"), QStringLiteral("FooterCreatorQ4")};

    QTest::newRow("keyword split over runs")
            << QStringLiteral("docvar-keyword-split_gutenberg-SampleFragmentedVariable.docx")
            << map({{QStringLiteral("Entity.Name"), QStringLiteral("SplitKeywordQ1")}})
            << map({{document, QStringList{QStringLiteral("SplitKeywordQ1")}}})
            << QStringList{QStringLiteral("SplitKeywordQ1")};

    QTest::newRow("many fields, names split over runs")
            << QStringLiteral("docvar-loops-tables-split_dvbern-test1.docx")
            << map({{QStringLiteral("FIELD_TestWert"), QStringLiteral("TestWertQ1")},
                    {QStringLiteral("FIELD_Col1"), QStringLiteral("ColOneQ2")},
                    {QStringLiteral("SORT_Col7_DESC"), QStringLiteral("SortSevenQ3")}})
            << map({{document,
                     QStringList{QStringLiteral("TestWertQ1"), QStringLiteral("ColOneQ2"),
                                 QStringLiteral("SortSevenQ3")}}})
            << QStringList{QStringLiteral("TestWertQ1"), QStringLiteral("ColOneQ2"), QStringLiteral("SortSevenQ3")};

    QTest::newRow("document variables only") << QStringLiteral("docvars-only_npoi-docVars.docx")
                                             << map({{QStringLiteral("Value1"), QStringLiteral("one")},
                                                     {QStringLiteral("Value6"), QStringLiteral("six")}})
                                             << QVariantMap() << QStringList();

    QTest::newRow("merge fields are left alone")
            << QStringLiteral("mergefield-switches_docx4j-MERGEFIELD.docx")
            << map({{QStringLiteral("Kundenstrasse"), QStringLiteral("MergeNotFilledQ1")}}) << QVariantMap()
            << QStringList();

    QTest::newRow("merged cells, no fields")
            << QStringLiteral("tables-vmerge_docx4j-tables.docx")
            << map({{QStringLiteral("unused"), QStringLiteral("x")}}) << QVariantMap() << QStringList();
}

void TestDocxFixtures::wordMadeTemplates()
{
    QFETCH(QString, fixture);
    QFETCH(QVariantMap, fields);
    QFETCH(QVariantMap, partTexts);
    QFETCH(QStringList, pdfTexts);

    PageHarness page;
    QDir().mkpath(page.path(QStringLiteral("integrations/7zip")));
    QVERIFY(QFile::link(sevenZip(), page.path(QStringLiteral("integrations/7zip/7z"))));
    QDir().mkpath(page.path(QStringLiteral("content/data/templates")));
    QVERIFY(QFile::copy(fixturesDir() + QLatin1Char('/') + fixture,
                        page.path(QStringLiteral("content/data/templates/t.docx"))));
    QVERIFY(page.open());
    page.record(QStringLiteral("__covrelBridge.officeBridge"),
                {QStringLiteral("docxTemplateFinished"), QStringLiteral("docxTemplateError")});

    page.eval(QStringLiteral(
                      "__covrelBridge.officeBridge.generateFromTemplate('f', 'templates/t.docx', {fields: %1}, 'out')")
                      .arg(literal(fields)));
    QCOMPARE(page.received(QStringLiteral("docxTemplateFinished")).size(), 1);

    const QString output = page.path(QStringLiteral("store/docs/out.docx"));
    const Parts template_ = DocxTestPackage::read(fixturesDir() + QLatin1Char('/') + fixture);
    const Parts result = DocxTestPackage::read(output);
    QCOMPARE(result.keys(), template_.keys());
    for (auto it = result.cbegin(); it != result.cend(); ++it) {
        if (!it.key().endsWith(QStringLiteral(".xml")) && !it.key().endsWith(QStringLiteral(".rels")))
            continue;
        QDomDocument part;
        QVERIFY2(part.setContent(it.value()), qPrintable(it.key()));
    }
    for (auto it = partTexts.cbegin(); it != partTexts.cend(); ++it) {
        const QString text = allText(result, it.key());
        for (const QString &expected : it.value().toStringList())
            QVERIFY2(text.contains(expected), qPrintable(it.key() + QStringLiteral(" lacks ") + expected));
    }
    const QMap<QString, QString> vars = DocxTestPackage::docVars(result.value(QStringLiteral("word/settings.xml")));
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        QCOMPARE(vars.value(it.key()), it.value().toString());
    QVERIFY(!allText(result, QStringLiteral("word/document.xml")).contains(QStringLiteral("MergeNotFilledQ1")));

    if (m_soffice.isEmpty())
        QSKIP("LibreOffice (Debian's libreoffice-writer-nogui) is not installed: PDF check skipped");
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (Debian's poppler-utils) is not installed: PDF check skipped");
    QTemporaryDir pdfDir;
    const QString text = pdfText(output, pdfDir.path());
    QVERIFY2(!text.isNull(), "LibreOffice did not convert the result to PDF");
    QVERIFY(!text.trimmed().isEmpty());
    // Narrow table cells wrap values over lines: compare without white space.
    const QString compact = withoutSpace(text);
    for (const QString &expected : pdfTexts)
        QVERIFY2(compact.contains(withoutSpace(expected)), qPrintable(QStringLiteral("PDF lacks ") + expected));
}

QString TestDocxFixtures::pdfText(const QString &docx, const QString &outDir)
{
    QProcess office;
    office.start(m_soffice,
                 {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(m_officeProfile->path()).toString(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                  QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir, docx});
    office.closeWriteChannel();
    if (!office.waitForFinished(180000))
        return QString();
    const QString pdf = outDir + QLatin1Char('/') + QFileInfo(docx).completeBaseName() + QStringLiteral(".pdf");
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return QString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QTEST_MAIN(TestDocxFixtures)
#include "TestDocxFixtures.moc"
