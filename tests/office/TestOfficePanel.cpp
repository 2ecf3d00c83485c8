// The demo page's "documents through the office" panel and its promise
// wrappers in covrel.js, pressed as a person would, with Word held in memory
// on the scripted automation server.
#include "PageHarness.h"
#include "ScriptedWord.h"

#include <QDir>
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

QTEST_MAIN(TestOfficePanel)
#include "TestOfficePanel.moc"
