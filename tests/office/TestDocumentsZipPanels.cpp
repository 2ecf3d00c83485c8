// The demo page's "Documents" and "ZIP" panels and their promise wrappers in
// covrel.js, used as a person would: fill in the form, press the buttons.
#include "DesktopOpener.h"
#include "DocxTestPackage.h"
#include "PageHarness.h"
#include "ScriptText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopedPointer>
#include <QtTest>

using ScriptText::literal;

namespace {

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

} // namespace

class TestDocumentsZipPanels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void documentsPanelFillsBundledLetter();
    void documentsWrapperRejectsWithCode_data();
    void documentsWrapperRejectsWithCode();
    void zipPanelPacksDocumentsFolder();

private:
    void fill(const QString &id, const QString &value);
    void click(const QString &id);
    QString text(const QString &id);
    bool waitForText(const QString &id, const QString &start);
    QString sevenZip() const;

    QScopedPointer<PageHarness> m_page;
    RecordingOpener m_opener;
};

QString TestDocumentsZipPanels::sevenZip() const
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z");
}

void TestDocumentsZipPanels::initTestCase()
{
    if (!QFileInfo(sevenZip()).isExecutable())
        QSKIP("integrations/7zip/7z is not laid out in the build tree (install Debian's 7zip and rebuild)");
    if (!QFileInfo::exists(qEnvironmentVariable("COVREL_BIN_DIR")
                           + QStringLiteral("/content/data/templates/letter.docx")))
        QSKIP("the bundled template content/data/templates/letter.docx is not built");
}

void TestDocumentsZipPanels::init()
{
    m_page.reset(new PageHarness);
    m_page->useDemoContent();
    QDir().mkpath(m_page->path(QStringLiteral("integrations/7zip")));
    QVERIFY(QFile::link(sevenZip(), m_page->path(QStringLiteral("integrations/7zip/7z"))));
    m_opener.urls.clear();
    DesktopOpener::install(&m_opener);
    QVERIFY(m_page->open());
}

void TestDocumentsZipPanels::cleanup()
{
    DesktopOpener::install(nullptr);
    m_page.reset();
}

void TestDocumentsZipPanels::fill(const QString &id, const QString &value)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').value = %2").arg(id, literal(value)));
}

void TestDocumentsZipPanels::click(const QString &id)
{
    m_page->eval(QStringLiteral("document.getElementById('%1').click()").arg(id));
}

QString TestDocumentsZipPanels::text(const QString &id)
{
    return m_page->eval(QStringLiteral("document.getElementById('%1').textContent").arg(id)).toString();
}

bool TestDocumentsZipPanels::waitForText(const QString &id, const QString &start)
{
    return QTest::qWaitFor([&] { return text(id).startsWith(start); }, 60000);
}

void TestDocumentsZipPanels::documentsPanelFillsBundledLetter()
{
    fill(QStringLiteral("docsClient"), QStringLiteral("ООО «Вектор»"));
    fill(QStringLiteral("docsCity"), QStringLiteral("Томск"));
    fill(QStringLiteral("docsOrder"), QStringLiteral("77-А"));
    fill(QStringLiteral("docsItems"), QStringLiteral("Шкаф; 10 000\nПолка; 2 500\n"));
    fill(QStringLiteral("docsManager"), QStringLiteral("Сидоров С. С."));
    fill(QStringLiteral("docsOutput"), QStringLiteral("Письмо Вектору"));
    click(QStringLiteral("docsGenerate"));
    QVERIFY2(waitForText(QStringLiteral("docsStatus"), QStringLiteral("Документ создан")),
             qPrintable(text(QStringLiteral("docsStatus"))));

    const QString output = m_page->path(QStringLiteral("store/docs/Письмо Вектору.docx"));
    QCOMPARE(text(QStringLiteral("docsPath")), output);
    QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(output)});

    const DocxTestPackage::Parts parts = DocxTestPackage::read(output);
    const QStringList body = DocxTestPackage::paragraphTexts(parts.value(QStringLiteral("word/document.xml")));
    QVERIFY(body.contains(QStringLiteral("г. Томск, ")
                          + m_page->eval(QStringLiteral("new Date().toLocaleDateString('ru-RU')")).toString()));
    QVERIFY(body.contains(QStringLiteral("Уважаемый(ая) ООО «Вектор»!")));
    // Header row and the two items; the three empty rows are gone.
    QDomDocument document;
    QVERIFY(document.setContent(parts.value(QStringLiteral("word/document.xml"))));
    QCOMPARE(document.elementsByTagName(QStringLiteral("w:tr")).size(), 3);
    QVERIFY(body.contains(QStringLiteral("Шкаф")));
    QVERIFY(body.contains(QStringLiteral("2 500")));
    QCOMPARE(DocxTestPackage::paragraphTexts(parts.value(QStringLiteral("word/header1.xml"))),
             QStringList{QStringLiteral("Заказ № 77-А")});
    QCOMPARE(DocxTestPackage::paragraphTexts(parts.value(QStringLiteral("word/footer1.xml"))),
             QStringList{QStringLiteral("Документ сформирован программой для ООО «Вектор»")});

    m_opener.urls.clear();
    click(QStringLiteral("docsOpen"));
    QVERIFY(waitForText(QStringLiteral("docsStatus"), QStringLiteral("Открыт")));
    QCOMPARE(m_opener.urls, QList<QUrl>{QUrl::fromLocalFile(output)});
}

void TestDocumentsZipPanels::documentsWrapperRejectsWithCode_data()
{
    QTest::addColumn<QString>("template_");
    QTest::addColumn<QString>("code");

    QTest::newRow("missing template") << QStringLiteral("templates/none.docx") << QStringLiteral("errorFile");
    QTest::newRow("template is no package") << QStringLiteral("templates/plain.docx") << QStringLiteral("errorUnpack");
}

void TestDocumentsZipPanels::documentsWrapperRejectsWithCode()
{
    QFETCH(QString, template_);
    QFETCH(QString, code);

    m_page->writeContentFile(QStringLiteral("data/templates/plain.docx"), "no package");
    const QVariant answer = m_page->evalAsync(
            QStringLiteral(
                    "Covrel.generateDocx({template: %1, output: 'x', fields: {a: '1'}})"
                    ".then(function () { done('resolved'); }, function (e) { done(e.code + '|' + e.message); });")
                    .arg(literal(template_)));
    const QStringList parts = answer.toString().split(QLatin1Char('|'));
    QCOMPARE(parts.first(), code);
    QVERIFY(parts.size() == 2 && !parts.at(1).isEmpty());
}

void TestDocumentsZipPanels::zipPanelPacksDocumentsFolder()
{
    QVERIFY(text(QStringLiteral("zipStatus")).startsWith(QStringLiteral("7-Zip найден")));
    QDir().mkpath(m_page->path(QStringLiteral("store/docs")));
    QFile file(m_page->path(QStringLiteral("store/docs/отчёт.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("report");
    file.close();
    fill(QStringLiteral("zipPrefix"), QStringLiteral("Архив"));
    click(QStringLiteral("zipRun"));
    QVERIFY2(waitForText(QStringLiteral("zipStatus"), QStringLiteral("Готово")),
             qPrintable(text(QStringLiteral("zipStatus"))));

    const QString zip = m_page->path(QStringLiteral("store/Документы.zip"));
    QCOMPARE(text(QStringLiteral("zipStatus")), QStringLiteral("Готово: ") + zip);
    QCOMPARE(DocxTestPackage::read(zip).keys(), QStringList{QStringLiteral("Архив/отчёт.txt")});
}

QTEST_MAIN(TestDocumentsZipPanels)
#include "TestDocumentsZipPanels.moc"
