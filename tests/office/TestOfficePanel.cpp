// The demo page's "documents through the office" panel and its promise
// wrappers in covrel.js, pressed as a person would, with Word held in memory
// on the scripted automation server and the real 7-Zip for .docx templates.
#include "PageHarness.h"
#include "ScriptedWord.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestOfficePanel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void generatesWithProgress();
    void checkShowsVersionOrAbsence_data();
    void checkShowsVersionOrAbsence();
    void wrapperRejectsWithTheMessageAsCode();
    void wrapperSavesDocumentAs();
    void wrapperSaveThatWritesNothingRejects();
    void wrappersSettleWithTheEnginesOutcome_data();
    void wrappersSettleWithTheEnginesOutcome();

private:
    void click(const QString &id);
    QString text(const QString &id);
    bool waitForText(const QString &id, const QString &start);

    QScopedPointer<ScriptedAutomationBackend> m_server;
    QScopedPointer<ScriptedWord> m_word;
    QScopedPointer<PageHarness> m_page;
};

void TestOfficePanel::init()
{
    m_server.reset(new ScriptedAutomationBackend);
    m_word.reset(new ScriptedWord(*m_server));
    m_page.reset(new PageHarness);
    m_page->useDemoContent();
    m_page->writeContentFile(QStringLiteral("data/templates/letter.rtf"), "{\\rtf1 letter}");
    const QString sevenZip = qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z");
    QDir().mkpath(m_page->path(QStringLiteral("integrations/7zip")));
    QFile::link(sevenZip, m_page->path(QStringLiteral("integrations/7zip/7z")));
    QVERIFY(m_page->open());
}

void TestOfficePanel::cleanup()
{
    m_page.reset();
    m_word.reset();
    m_server.reset();
}

void TestOfficePanel::click(const QString &id)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

QString TestOfficePanel::text(const QString &id)
{
    return m_page->eval(QStringLiteral("document.getElementById('%1').textContent").arg(id)).toString();
}

bool TestOfficePanel::waitForText(const QString &id, const QString &start)
{
    return QTest::qWaitFor([&] { return text(id).startsWith(start); }, 60000);
}

void TestOfficePanel::generatesWithProgress()
{
    m_page->eval(QStringLiteral("document.getElementById('officeClient').value = 'ООО «Вектор»'"));
    click(QStringLiteral("officeGenerate"));
    QVERIFY2(waitForText(QStringLiteral("officeStatus"), QStringLiteral("Документ создан")),
             qPrintable(text(QStringLiteral("officeStatus"))));
    QCOMPARE(text(QStringLiteral("officePath")), m_page->path(QStringLiteral("store/docs/Письмо через офис.rtf")));
    QCOMPARE(m_page->eval(QStringLiteral("document.getElementById('officeProgress').value")).toInt(), 100);
    QCOMPARE(m_word->variables.value(QStringLiteral("client")), QStringLiteral("ООО «Вектор»"));
    QCOMPARE(m_word->variables.value(QStringLiteral("item3")), QString());
    QVERIFY(m_page->eval(QStringLiteral("document.getElementById('officeGenerate').disabled")).toBool() == false);
}

void TestOfficePanel::checkShowsVersionOrAbsence_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("status");
    QTest::newRow("installed") << true << QStringLiteral("Офисный пакет доступен, версия 16.0");
    QTest::newRow("absent") << false << QStringLiteral("Офисный пакет не установлен (office_not_installed)");
}

void TestOfficePanel::checkShowsVersionOrAbsence()
{
    QFETCH(bool, installed);
    QFETCH(QString, status);
    if (!installed) {
        m_word.reset();
        m_server.reset();
    }
    click(QStringLiteral("officeCheck"));
    QVERIFY2(waitForText(QStringLiteral("officeStatus"), status), qPrintable(text(QStringLiteral("officeStatus"))));
}

void TestOfficePanel::wrapperRejectsWithTheMessageAsCode()
{
    const QVariant code = m_page->evalAsync(QStringLiteral(
            "Covrel.generateFromTemplate({template: 'templates/none.rtf', output: 'x'})"
            ".then(function () { done('resolved'); }, function (e) { done(e.code + '|' + e.message); })"));
    QCOMPARE(code.toString(), QStringLiteral("Не найден файл шаблона|Не найден файл шаблона"));
}

void TestOfficePanel::wrapperSavesDocumentAs()
{
    const QVariant saved = m_page->evalAsync(
            QStringLiteral("Covrel.saveDocumentAs('storeDocs://a.doc', 'storeDocs://b.rtf').then(done)"));
    QCOMPARE(saved.toString(), QStringLiteral("storeDocs://b.rtf"));
    bool savedAs = false;
    for (const ScriptedAutomationBackend::Call &call : m_server->calls())
        savedAs = savedAs
                || (call.member.startsWith(QLatin1String("SaveAs("))
                    && call.args.value(0)
                            == QDir::toNativeSeparators(m_page->path(QStringLiteral("store/docs/b.rtf"))));
    QVERIFY(savedAs);
}

void TestOfficePanel::wrapperSaveThatWritesNothingRejects()
{
    m_word->saveWrites = false;
    const QVariant code = m_page->evalAsync(
            QStringLiteral("Covrel.saveDocumentAs('storeDocs://a.doc', 'storeDocs://b.rtf')"
                           ".then(function () { done('resolved'); }, function (e) { done(e.code); })"));
    QCOMPARE(code.toString(), QStringLiteral("outputNotSaved"));
}

void TestOfficePanel::wrappersSettleWithTheEnginesOutcome_data()
{
    QTest::addColumn<QString>("wrapper"); // the other wrapper makes a document first
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<bool>("saveWrites");
    QTest::addColumn<QString>("outcome"); // "resolved:<path in the installation>" or "rejected:<error.code>"

    for (const QString &wrapper : {QStringLiteral("generateDocx"), QStringLiteral("generateFromTemplate")}) {
        const auto row = [&](const char *name) -> QTestData & {
            return QTest::newRow(qPrintable(wrapper + QLatin1String(name)));
        };
        row(", DOCX engine writes") << wrapper << QStringLiteral("templates/letter.docx") << true
                                    << QStringLiteral("resolved:store/docs/out.docx");
        row(", DOCX engine fails") << wrapper << QStringLiteral("templates/bad.docx") << true
                                   << QStringLiteral("rejected:errorUnpack");
        row(", DOCX template missing") << wrapper << QStringLiteral("templates/none.docx") << true
                                       << QStringLiteral("rejected:errorFile");
        row(", office engine writes") << wrapper << QStringLiteral("templates/letter.rtf") << true
                                      << QStringLiteral("resolved:store/docs/out.rtf");
        row(", office engine saves nothing") << wrapper << QStringLiteral("templates/letter.rtf") << false
                                             << QStringLiteral("rejected:errorCode:outputNotSaved");
        row(", office template missing") << wrapper << QStringLiteral("templates/none.rtf") << true
                                         << QStringLiteral("rejected:Не найден файл шаблона");
    }
}

void TestOfficePanel::wrappersSettleWithTheEnginesOutcome()
{
    QFETCH(QString, wrapper);
    QFETCH(QString, templateName);
    QFETCH(bool, saveWrites);
    QFETCH(QString, outcome);
    m_page->writeContentFile(QStringLiteral("data/templates/bad.docx"), "no package");
    const QString other = wrapper == QLatin1String("generateDocx") ? QStringLiteral("generateFromTemplate")
                                                                   : QStringLiteral("generateDocx");
    QVERIFY(m_page->evalAsync(QStringLiteral("Covrel.%1({template: 'templates/letter.docx', output: 'first'})"
                                             ".then(function () { done(true); })")
                                      .arg(other))
                    .toBool());

    m_word->saveWrites = saveWrites;
    const QString settled =
            m_page->evalAsync(QStringLiteral("Covrel.%1({template: '%2', output: 'out', fields: {a: '1'}})"
                                             ".then(function (path) { return 'resolved:' + path; },"
                                             "      function (e) { return 'rejected:' + e.code; })"
                                             ".then(function (outcome) { done(outcome + '|' "
                                             "+ Object.keys(Covrel._pending).length); })")
                                      .arg(wrapper, templateName))
                    .toString();
    const QString expected = outcome.startsWith(QLatin1String("resolved:"))
            ? QStringLiteral("resolved:") + m_page->path(outcome.mid(9))
            : outcome;
    QCOMPARE(settled, expected + QStringLiteral("|0"));
}

QTEST_MAIN(TestOfficePanel)
#include "TestOfficePanel.moc"
