// The office engine end to end on the office suite: real page script, the
// automation plugin, a real office process, templates made by the suite
// itself from a package written here, results read back as text.
#include "AutomationObject.h"
#include "DocxTestPackage.h"
#include "PageHarness.h"
#include "ScriptText.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;

namespace {

const QStringList RECORDED_SIGNALS = {QStringLiteral("generateFromTemplateStarted"),
                                      QStringLiteral("generateFromTemplateInProcess"),
                                      QStringLiteral("generateFromTemplateFinished"),
                                      QStringLiteral("generateFromTemplateError"),
                                      QStringLiteral("checkAvailableResult"),
                                      QStringLiteral("saveFileSaved"),
                                      QStringLiteral("saveFileError")};

QString pluginBuilt()
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/plugins/libcovrel_automation_uno.so");
}

// A DOCVARIABLE field as Word writes it, with a shown result.
QString field(const QString &name)
{
    return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                          "<w:r><w:instrText xml:space=\"preserve\"> DOCVARIABLE %1 </w:instrText></w:r>"
                          "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                          "<w:r><w:t>[%1]</w:t></w:r>"
                          "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")
            .arg(name);
}

QString cell(const QString &runs) { return QStringLiteral("<w:tc>%1</w:tc>").arg(DocxTestPackage::paragraph(runs)); }

QString tableRow(const QString &label, const QString &fieldName)
{
    return QStringLiteral("<w:tr>%1%2</w:tr>")
            .arg(cell(DocxTestPackage::textRun(label)), cell(fieldName.isEmpty() ? QString() : field(fieldName)));
}

QString templateBody()
{
    return DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("Name: "))
                                      + field(QStringLiteral("name")))
            + QStringLiteral(
                      "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>%1%2%3</w:tbl>")
                      .arg(tableRow(QStringLiteral("Head"), QString()),
                           tableRow(QStringLiteral("ItemRow"), QStringLiteral("item")),
                           tableRow(QStringLiteral("NoteRow"), QStringLiteral("note")))
            + DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("End")));
}

// Two tables: the first with a vertically merged first column, the second plain.
QString mergedAndPlainTablesBody()
{
    const QString restart =
            QStringLiteral("<w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr>%1</w:tc>")
                    .arg(DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("Merged"))));
    const QString merged =
            QStringLiteral("<w:tc><w:tcPr><w:vMerge/></w:tcPr>%1</w:tc>").arg(DocxTestPackage::paragraph(QString()));
    const QString grid = QStringLiteral("<w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>");
    return QStringLiteral("<w:tbl>%1<w:tr>%2%3</w:tr><w:tr>%4%5</w:tr></w:tbl>")
                   .arg(grid, restart, cell(field(QStringLiteral("a"))), merged, cell(field(QStringLiteral("b"))))
            + DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("Between")))
            + QStringLiteral("<w:tbl>%1%2%3%4%5</w:tbl>")
                      .arg(grid, tableRow(QStringLiteral("First"), QString()),
                           tableRow(QStringLiteral("SecondRow"), QStringLiteral("a")),
                           tableRow(QStringLiteral("ThirdRow"), QStringLiteral("b")),
                           tableRow(QStringLiteral("FourthRow"), QStringLiteral("c")))
            + DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("End")));
}

// Stands in for the desktop's default application: records what it was asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// Outlives the application object: the shared office the tests quit waits
// in the plugin's pool until the program ends, and its profile lies here.
QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

} // namespace

class TestOfficeWordUno : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void generatesFromTemplates_data();
    void generatesFromTemplates();
    void mergedTableKeepsRowsPlainTableLosesEmptyOnes();
    void templateDocVarsAreVariables();
    void realWordFilesGoThroughTheOfficeEngine_data();
    void realWordFilesGoThroughTheOfficeEngine();
    void openOutputIsRefusedByExactName();
    void attachModeLeavesTheUsersDocumentOpen();
    void sharedOfficeLeavesTheShellsStreams();
    void checkAvailableAndVersion();
    void officePanelFillsTheBundledRtfLetter();
    void openAfterSaveHandsTheResultToTheDesktop();
    void saveTheOfficeCannotWriteAnswersTheError();
    void officeHiddenFromThePlugin();

private:
    // Converts with the suite's own command line (a profile of the test's own).
    QString convert(const QString &file, const QString &format, const QString &outDir);
    QString textOf(const QString &file);
    void generate(const QString &templateName, const QVariantMap &options, const QString &output);
    QStringList progressStates();

    QTemporaryDir &m_work = workDir();
    QScopedPointer<PageHarness> m_page;
    QString m_docxTemplate;
};

void TestOfficeWordUno::initTestCase()
{
    if (!QFileInfo::exists(pluginBuilt()))
        QSKIP("The office automation plugin is not built (install Debian's libreoffice-dev and rebuild)");
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("No office suite installed (Debian's libreoffice-writer-nogui)");
    // The shared office of attach mode keeps its profile in the user's cache: the test's own here.
    qputenv("XDG_CACHE_HOME", m_work.filePath(QStringLiteral("cache")).toUtf8());
    m_docxTemplate = m_work.filePath(QStringLiteral("made/template.docx"));
    QDir().mkpath(m_work.filePath(QStringLiteral("made")));
    QVERIFY(DocxTestPackage::write(m_docxTemplate, DocxTestPackage::minimalParts(templateBody())));
}

void TestOfficeWordUno::cleanupTestCase()
{
    if (m_docxTemplate.isEmpty())
        return;
    // Quit the shared office the tests attached to: it ends with the program.
    PageHarness page;
    QDir().mkpath(page.path(QStringLiteral("plugins")));
    QFile::link(pluginBuilt(), page.path(QStringLiteral("plugins/libcovrel_automation_uno.so")));
    AutomationObject shared(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    shared.dynamicCall("Quit()");
}

void TestOfficeWordUno::init()
{
    m_page.reset(new PageHarness);
    QDir().mkpath(m_page->path(QStringLiteral("plugins")));
    QVERIFY(QFile::link(pluginBuilt(), m_page->path(QStringLiteral("plugins/libcovrel_automation_uno.so"))));
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge.officeBridge"), RECORDED_SIGNALS);
}

void TestOfficeWordUno::cleanup() { m_page.reset(); }

QString TestOfficeWordUno::convert(const QString &file, const QString &format, const QString &outDir)
{
    QProcess soffice;
    soffice.setProgram(QStringLiteral("soffice"));
    soffice.setArguments(
            {QStringLiteral("--headless"), QStringLiteral("--norestore"),
             QStringLiteral("-env:UserInstallation=%1")
                     .arg(QUrl::fromLocalFile(m_work.filePath(QStringLiteral("convert-profile"))).toString()),
             QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, file});
    soffice.start();
    soffice.closeWriteChannel();
    soffice.waitForFinished(120000);
    const QString suffix = format.section(QLatin1Char(':'), 0, 0);
    return outDir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.') + suffix;
}

QString TestOfficeWordUno::textOf(const QString &file)
{
    const QString out = m_work.filePath(QStringLiteral("text"));
    QDir().mkpath(out);
    QFile text(convert(file, QStringLiteral("txt:Text (encoded):UTF8"), out));
    if (!text.open(QIODevice::ReadOnly))
        return QString();
    const QString content = QString::fromUtf8(text.readAll());
    text.close();
    text.remove();
    return content;
}

void TestOfficeWordUno::generate(const QString &templateName, const QVariantMap &options, const QString &output)
{
    m_page->clearReceived();
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.generateFromTemplate('h1', %1, %2, %3)")
                         .arg(literal(templateName), literal(options), literal(output)));
}

QStringList TestOfficeWordUno::progressStates()
{
    QStringList states;
    for (const QVariantList &args : m_page->received(QStringLiteral("generateFromTemplateInProcess")))
        states.append(QStringLiteral("%1 %2").arg(args.at(6).toString()).arg(args.at(5).toInt()));
    return states;
}

void TestOfficeWordUno::generatesFromTemplates_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("doc") << QStringLiteral("doc");
    QTest::newRow("rtf") << QStringLiteral("rtf");
    QTest::newRow("dot") << QStringLiteral("dot");
    QTest::newRow("dotx") << QStringLiteral("dotx");
}

void TestOfficeWordUno::generatesFromTemplates()
{
    QFETCH(QString, format);
    const QString templatesDir = m_page->path(QStringLiteral("content/data/templates"));
    QDir().mkpath(templatesDir);
    const QString made = convert(m_docxTemplate, format, templatesDir);
    QVERIFY2(QFileInfo::exists(made), qPrintable(made));
    const QVariantMap options{
            {QStringLiteral("fields"),
             QVariantMap{{QStringLiteral("name"), QStringLiteral("Иван Петров")},
                         {QStringLiteral("item"), QStringLiteral("")},
                         {QStringLiteral("note"), QStringLiteral("есть")}}},
            {QStringLiteral("clearTablesWithKeys"), QStringList{QStringLiteral("item"), QStringLiteral("note")}}};
    generate(QStringLiteral("templates/template.") + format, options, QStringLiteral("out/result"));

    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")), QList<QVariantList>());
    QCOMPARE(progressStates(),
             (QStringList{QStringLiteral("started 5"), QStringLiteral("fileOpened 10"), QStringLiteral("replacing 23"),
                          QStringLiteral("replacing 46"), QStringLiteral("replacing 69"),
                          QStringLiteral("clearTables 80"), QStringLiteral("fileSaving 90"),
                          QStringLiteral("faleSaved 95"), QStringLiteral("finished 100")}));
    const QString result = m_page->path(QStringLiteral("store/docs/out/result.") + format);
    QVERIFY2(QFileInfo::exists(result), qPrintable(result));
    const QString text = textOf(result);
    QVERIFY2(text.contains(QStringLiteral("Name: Иван Петров")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("NoteRow")) && text.contains(QStringLiteral("есть")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("ItemRow")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Head")), qPrintable(text));
    QCOMPARE(QDir(m_page->path(QStringLiteral("store/tmp"))).entryList(QDir::Files), QStringList());
}

void TestOfficeWordUno::mergedTableKeepsRowsPlainTableLosesEmptyOnes()
{
    const QString made = m_work.filePath(QStringLiteral("made/tables.docx"));
    QVERIFY(DocxTestPackage::write(made, DocxTestPackage::minimalParts(mergedAndPlainTablesBody())));
    const QString templatesDir = m_page->path(QStringLiteral("content/data/templates"));
    QDir().mkpath(templatesDir);
    QVERIFY(QFileInfo::exists(convert(made, QStringLiteral("rtf"), templatesDir)));
    const QVariantMap options{{QStringLiteral("fields"),
                               QVariantMap{{QStringLiteral("a"), QStringLiteral(" ")},
                                           {QStringLiteral("b"), QStringLiteral("")},
                                           {QStringLiteral("c"), QStringLiteral("filled")}}},
                              {QStringLiteral("clearTablesWithKeys"),
                               QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}}};
    generate(QStringLiteral("templates/tables.rtf"), options, QStringLiteral("tables"));
    const QString text = textOf(m_page->path(QStringLiteral("store/docs/tables.rtf")));
    QVERIFY2(text.contains(QStringLiteral("Merged")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("First")) && text.contains(QStringLiteral("FourthRow")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("SecondRow")) && !text.contains(QStringLiteral("ThirdRow")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("filled")), qPrintable(text));
}

void TestOfficeWordUno::templateDocVarsAreVariables()
{
    // A .dotx as Word keeps it: the variables in w:docVars, which the office does not import.
    const QString body =
            QStringLiteral(
                    "<w:tbl><w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>%1%2</w:tbl>")
                    .arg(tableRow(QStringLiteral("KeepRow"), QStringLiteral("keep")),
                         tableRow(QStringLiteral("GoneRow"), QStringLiteral("gone")))
            + DocxTestPackage::paragraph(DocxTestPackage::textRun(QStringLiteral("End")));
    const QString templatePath = m_page->path(QStringLiteral("content/data/templates/vars.dotx"));
    QDir().mkpath(QFileInfo(templatePath).absolutePath());
    QVERIFY(DocxTestPackage::write(
            templatePath,
            DocxTestPackage::minimalParts(body,
                                          QStringLiteral("<w:docVar w:name=\"keep\" w:val=\"from template\"/>"))));
    const QVariantMap options{
            {QStringLiteral("fields"), QVariantMap{{QStringLiteral("gone"), QStringLiteral("")}}},
            {QStringLiteral("clearTablesWithKeys"), QStringList{QStringLiteral("keep"), QStringLiteral("gone")}}};
    generate(QStringLiteral("templates/vars.dotx"), options, QStringLiteral("vars"));
    const QString result = m_page->path(QStringLiteral("store/docs/vars.dotx"));
    const QString text = textOf(result);
    QVERIFY2(text.contains(QStringLiteral("KeepRow")) && !text.contains(QStringLiteral("GoneRow")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("from template")), qPrintable(text));
    // Every variable is written back, the template's too.
    const QMap<QString, QString> docVars =
            DocxTestPackage::docVars(DocxTestPackage::read(result).value(QStringLiteral("word/settings.xml")));
    QCOMPARE(docVars.value(QStringLiteral("keep")), QStringLiteral("from template"));
    QVERIFY(docVars.contains(QStringLiteral("gone")));
}

void TestOfficeWordUno::realWordFilesGoThroughTheOfficeEngine_data()
{
    QTest::addColumn<QString>("fixture");
    const QDir fixtures(qEnvironmentVariable("COVREL_SHARED_DIR") + QStringLiteral("/fixtures/docx"));
    const QStringList files = fixtures.entryList({QStringLiteral("*.docx")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << fixtures.filePath(file);
    if (files.isEmpty())
        QTest::newRow("no fixtures") << QString();
}

void TestOfficeWordUno::realWordFilesGoThroughTheOfficeEngine()
{
    QFETCH(QString, fixture);
    if (fixture.isEmpty())
        QSKIP("the shared fixtures folder (COVREL_SHARED_DIR/fixtures/docx) is absent");
    // Word's own files, given a template name so they go to the office engine.
    const QString templatePath = m_page->path(QStringLiteral("content/data/templates/real.dotx"));
    QDir().mkpath(QFileInfo(templatePath).absolutePath());
    QVERIFY(QFile::copy(fixture, templatePath));
    generate(QStringLiteral("templates/real.dotx"), {}, QStringLiteral("real"));
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")), QList<QVariantList>());
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateFinished")).size(), 1);
    const DocxTestPackage::Parts output = DocxTestPackage::read(m_page->path(QStringLiteral("store/docs/real.dotx")));
    QVERIFY(output.contains(QStringLiteral("word/document.xml")));
    // Every variable the template holds comes out with its value.
    const QMap<QString, QString> before =
            DocxTestPackage::docVars(DocxTestPackage::read(fixture).value(QStringLiteral("word/settings.xml")));
    const QMap<QString, QString> after = DocxTestPackage::docVars(output.value(QStringLiteral("word/settings.xml")));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(after.value(it.key()), it.value());
}

void TestOfficeWordUno::openOutputIsRefusedByExactName()
{
    const QString templatesDir = m_page->path(QStringLiteral("content/data/templates"));
    QDir().mkpath(templatesDir);
    convert(m_docxTemplate, QStringLiteral("doc"), templatesDir);
    // The user has Report.doc open in the shared office.
    const QString userFile = m_page->path(QStringLiteral("store/docs/Report.doc"));
    QDir().mkpath(QFileInfo(userFile).absolutePath());
    QVERIFY(QFile::copy(templatesDir + QStringLiteral("/template.doc"), userFile));
    auto *user = new AutomationObject(
            AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'), this);
    QVERIFY(!user->isNull());
    AutomationObject *documents = user->querySubObject("Documents");
    QList<QVariant> open{userFile, false, false, false};
    AutomationObject *document = documents->querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", open);
    QVERIFY(document);

    generate(QStringLiteral("templates/template.doc"), {}, QStringLiteral("Report"));
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")).size(), 1);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")).at(0).at(5).toString(),
             QStringLiteral("errorCode:outputPathRealIsOpened"));

    generate(QStringLiteral("templates/template.doc"), {}, QStringLiteral("report"));
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")), QList<QVariantList>());
    QVERIFY(QFileInfo::exists(m_page->path(QStringLiteral("store/docs/report.doc"))));
    // The user's office still holds the user's document.
    QCOMPARE(documents->property("Count").toInt(), 1);
    document->dynamicCall("Close()");
    delete user;
}

void TestOfficeWordUno::attachModeLeavesTheUsersDocumentOpen()
{
    const QString docs = m_page->path(QStringLiteral("store/docs"));
    QDir().mkpath(docs);
    convert(m_docxTemplate, QStringLiteral("doc"), docs);
    QVERIFY(QFile::copy(docs + QStringLiteral("/template.doc"), docs + QStringLiteral("/mine.doc")));
    AutomationObject user(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    AutomationObject *documents = user.querySubObject("Documents");
    QList<QVariant> open{docs + QStringLiteral("/mine.doc"), false, false, false};
    AutomationObject *mine = documents->querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", open);
    QVERIFY(mine);

    m_page->eval(QStringLiteral(
            "__covrelBridge.officeBridge.saveFile('s1', 'storeDocs://template.doc', 'storeDocs://copy.rtf')"));
    QCOMPARE(m_page->received(QStringLiteral("saveFileSaved")).size(), 1);
    QVERIFY(textOf(docs + QStringLiteral("/copy.rtf")).contains(QStringLiteral("ItemRow")));
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")).at(0).at(1).toBool(), true);

    // Neither call closed the user's document nor quit the office holding it.
    QCOMPARE(documents->property("Count").toInt(), 1);
    QCOMPARE(mine->dynamicCall("FullName()").toString(), QDir::toNativeSeparators(docs + QStringLiteral("/mine.doc")));
    mine->dynamicCall("Close()");
}

void TestOfficeWordUno::sharedOfficeLeavesTheShellsStreams()
{
    AutomationObject shared(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    QVERIFY(!shared.isNull());
    // The shared office outlives the shell, as the user's own would: holding the
    // shell's output open, it would keep whoever reads that output waiting.
    const QByteArray profile = m_work.filePath(QStringLiteral("cache")).toUtf8();
    QStringList checked;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly) || !cmdline.readAll().contains(profile))
            continue;
        for (const char *stream : {"1", "2"})
            QCOMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/fd/").arg(pid) + QLatin1String(stream)),
                     QStringLiteral("/dev/null"));
        checked << pid;
    }
    QVERIFY(!checked.isEmpty());
}

void TestOfficeWordUno::checkAvailableAndVersion()
{
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")),
             QList<QVariantList>{(QVariantList{QStringLiteral("c1"), true, QStringLiteral("ok")})});
    QVERIFY(!m_page->eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString().isEmpty());
}

void TestOfficeWordUno::officePanelFillsTheBundledRtfLetter()
{
    if (!QFileInfo::exists(qEnvironmentVariable("COVREL_BIN_DIR")
                           + QStringLiteral("/content/data/templates/letter.rtf")))
        QSKIP("the bundled template content/data/templates/letter.rtf is not built");
    m_page.reset(); // before the next one: a harness resets the installation directory as it goes
    m_page.reset(new PageHarness);
    m_page->useDemoContent();
    QDir().mkpath(m_page->path(QStringLiteral("plugins")));
    QVERIFY(QFile::link(pluginBuilt(), m_page->path(QStringLiteral("plugins/libcovrel_automation_uno.so"))));
    QVERIFY(m_page->open());
    m_page->eval(QStringLiteral("document.getElementById('officeClient').value = 'ООО «Вектор»'"));
    m_page->eval(QStringLiteral("document.getElementById('officeGenerate').click()"));
    const auto status = [this] {
        return m_page->eval(QStringLiteral("document.getElementById('officeStatus').textContent")).toString();
    };
    QVERIFY(QTest::qWaitFor(
            [&] {
                return status().startsWith(QStringLiteral("Документ создан"))
                        || status().startsWith(QStringLiteral("Ошибка"));
            },
            120000));
    QCOMPARE(status(), QStringLiteral("Документ создан"));
    const QString text = textOf(m_page->path(QStringLiteral("store/docs/Письмо через офис.rtf")));
    QVERIFY2(text.contains(QStringLiteral("Уважаемый(ая) ООО «Вектор»!")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Стол письменный")) && text.contains(QStringLiteral("20 300")),
             qPrintable(text));
}

void TestOfficeWordUno::openAfterSaveHandsTheResultToTheDesktop()
{
    const QString templatesDir = m_page->path(QStringLiteral("content/data/templates"));
    QDir().mkpath(templatesDir);
    convert(m_docxTemplate, QStringLiteral("rtf"), templatesDir);
    UrlRecorder desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    const QVariantMap options{{QStringLiteral("fields"), QVariantMap{{QStringLiteral("name"), QStringLiteral("X")}}},
                              {QStringLiteral("openAfterSave"), true}};
    generate(QStringLiteral("templates/template.rtf"), options, QStringLiteral("shown"));
    generate(QStringLiteral("templates/template.rtf"), options, QStringLiteral("shown"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const QUrl shown = QUrl::fromLocalFile(m_page->path(QStringLiteral("store/docs/shown.rtf")));
    QCOMPARE(desktop.urls, (QList<QUrl>{shown, shown}));
    // The office does not keep it: making it again is not refused as open.
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")), QList<QVariantList>());
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateFinished")).size(), 1);
}

void TestOfficeWordUno::saveTheOfficeCannotWriteAnswersTheError()
{
    const QString templatesDir = m_page->path(QStringLiteral("content/data/templates"));
    QDir().mkpath(templatesDir);
    convert(m_docxTemplate, QStringLiteral("rtf"), templatesDir);
    // The output's folder is a file: the office cannot store there.
    const QString blocker = m_page->path(QStringLiteral("store/docs/blocker"));
    QDir().mkpath(QFileInfo(blocker).absolutePath());
    QFile(blocker).open(QIODevice::WriteOnly);

    generate(QStringLiteral("templates/template.rtf"), {}, QStringLiteral("blocker/report"));
    QVERIFY(m_page->received(QStringLiteral("generateFromTemplateFinished")).isEmpty());
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")).size(), 1);
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")).at(0).at(5).toString(),
             QStringLiteral("errorCode:outputNotSaved"));
    QCOMPARE(QDir(m_page->path(QStringLiteral("store/tmp"))).entryList(QDir::Files), QStringList());

    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.saveFile('s1', 'contentData://templates/template.rtf', "
                                "'storeDocs://blocker/copy.doc')"));
    QVERIFY(m_page->received(QStringLiteral("saveFileSaved")).isEmpty());
    QCOMPARE(m_page->received(QStringLiteral("saveFileError")).value(0).value(3).toString(),
             QStringLiteral("outputNotSaved"));
}

void TestOfficeWordUno::officeHiddenFromThePlugin()
{
    qputenv("COVREL_OFFICE_PROGRAM_DIR", QByteArray());
    m_page->eval(QStringLiteral("__covrelBridge.officeBridge.checkAvailable('c1')"));
    QCOMPARE(m_page->received(QStringLiteral("checkAvailableResult")),
             QList<QVariantList>{(QVariantList{QStringLiteral("c1"), false, QStringLiteral("office_not_installed")})});
    QCOMPARE(m_page->eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString(), QString());

    // Without an office nothing is claimed to be made.
    m_page->writeContentFile(QStringLiteral("data/templates/t.rtf"), "{\\rtf1 t}");
    generate(QStringLiteral("templates/t.rtf"), {}, QStringLiteral("r"));
    QVERIFY(progressStates().isEmpty());
    QVERIFY(m_page->received(QStringLiteral("generateFromTemplateFinished")).isEmpty());
    QCOMPARE(m_page->received(QStringLiteral("generateFromTemplateError")).value(0).value(5).toString(),
             QStringLiteral("errorCode:office_not_installed"));
    m_page->eval(QStringLiteral(
            "__covrelBridge.officeBridge.saveFile('s1', 'contentData://templates/t.rtf', 'storeDocs://t.doc')"));
    QVERIFY(m_page->received(QStringLiteral("saveFileSaved")).isEmpty());
    QCOMPARE(m_page->received(QStringLiteral("saveFileError")).value(0).value(3).toString(),
             QStringLiteral("office_not_installed"));
    qunsetenv("COVREL_OFFICE_PROGRAM_DIR");
}

QTEST_MAIN(TestOfficeWordUno)
#include "TestOfficeWordUno.moc"
