#include "AppEnv.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"
#include "WkhtmltopdfTestUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace WkhtmltopdfTestUtil;
using namespace TestFiles;

// wkhtmltopdfBridge as the page meets it: called from page script in the real
// main window, answering through the signals the page receives.
class TestWkhtmltopdfBridge : public QObject
{
    Q_OBJECT

private slots:
    void storePdfDirNumbering_data();
    void storePdfDirNumbering();
    void availability_data();
    void availability();
    void singleConversion();
    void batchWithCounterAndDocuments();
    void batchAnsweredWithErrorOnce_data();
    void batchAnsweredWithErrorOnce();
    void demoPanelPrintsRecordsInOneBatch();

private:
    // A page with the demo print pages, the converter laid out and the
    // bridge's signals recorded.
    bool openPage(PageHarness &page, bool layOutConverter = true);
};

namespace {

const QStringList SIGNALS{QStringLiteral("convertHtmlToPdfFinished"), QStringLiteral("convertHtmlToPdfError"),
                          QStringLiteral("convertHtmlToPdfUpdateCounter")};

QString call(const QString &method, const QVariantList &arguments)
{
    return ScriptText::call(QStringLiteral("__covrelBridge.wkhtmltopdfBridge.") + method, arguments);
}

} // namespace

bool TestWkhtmltopdfBridge::openPage(PageHarness &page, bool layOutConverter)
{
    copyDemoPrintPages(page.contentDir());
    if (layOutConverter) {
        QDir().mkpath(page.path(QStringLiteral("integrations/wkhtmltopdf")));
        QFile::link(realConverter(), page.path(QStringLiteral("integrations/wkhtmltopdf/wkhtmltopdf")));
    }
    if (!page.open())
        return false;
    page.record(QStringLiteral("__covrelBridge.wkhtmltopdfBridge"), SIGNALS);
    return true;
}

void TestWkhtmltopdfBridge::storePdfDirNumbering_data()
{
    QTest::addColumn<QStringList>("dirs");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");

    QTest::newRow("highest plus one") << QStringList{"Report 1", "Report 3", "Report x"} << QStringList() << "Report"
                                      << "Report 4";
    QTest::newRow("none yet") << QStringList() << QStringList() << "Report"
                              << "Report 1";
    QTest::newRow("other names ignored") << QStringList{"Reports 5", "My Report 7", "Report 2", "Report 8 old"}
                                         << QStringList() << "Report"
                                         << "Report 3";
    QTest::newRow("files do not count") << QStringList{"Report 1"} << QStringList{"Report 9"} << "Report"
                                        << "Report 2";
    QTest::newRow("Cyrillic prefix") << QStringList{"Отчет 2", "Отчет 10"} << QStringList() << "Отчет"
                                     << "Отчет 11";
}

void TestWkhtmltopdfBridge::storePdfDirNumbering()
{
    QFETCH(QStringList, dirs);
    QFETCH(QStringList, files);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);

    PageHarness page;
    QVERIFY(openPage(page, false));
    for (const QString &dir : dirs)
        QDir().mkpath(page.path(QStringLiteral("store/") + dir));
    for (const QString &file : files)
        writeFile(page.path(QStringLiteral("store/") + file), "x");
    QCOMPARE(page.eval(call(QStringLiteral("getStorePdfDir"), {prefix})).toString(),
             page.path(QStringLiteral("store/") + expected));
    QVERIFY(!QFileInfo::exists(page.path(QStringLiteral("store/") + expected))); // nothing is created
}

void TestWkhtmltopdfBridge::availability_data()
{
    QTest::addColumn<bool>("layOut");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("answers"); // "signal handlerId", in order

    // A single conversion 's1', then an empty batch 'b1'.
    QTest::newRow("laid-out converter") << true << QString() << true << QString()
                                        << QStringList{"convertHtmlToPdfFinished s1"};
    QTest::newRow("no converter: nothing answered")
            << false << QString() << false << "exe_file_not_exists" << QStringList();
    QTest::newRow("setting names a missing converter")
            << true << "@/gone/wkhtmltopdf" << true << "exe_file_not_exists"
            << QStringList{"convertHtmlToPdfError s1", "convertHtmlToPdfError b1"};
}

void TestWkhtmltopdfBridge::availability()
{
    QFETCH(bool, layOut);
    QFETCH(QString, setting);
    QFETCH(bool, available);
    QFETCH(QString, code);
    QFETCH(QStringList, answers);
    if (layOut && realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");

    PageHarness page;
    QVERIFY(openPage(page, layOut));
    AppEnv::setPathToWkhtmltopdfExe(setting.replace(QLatin1Char('@'), page.appDir()));
    QCOMPARE(page.eval(call(QStringLiteral("isAvailable"), {})).toBool(), available);
    QCOMPARE(page.eval(call(QStringLiteral("getAvailableErrorCode"), {})).toString(), code);

    page.eval(call(QStringLiteral("convertHtmlToPdf"), {QStringLiteral("s1"), page.path(QStringLiteral("a.pdf"))}));
    page.eval(call(QStringLiteral("convertHtmlToPdfBatch"), {QStringLiteral("b1")}));
    QVERIFY(QTest::qWaitFor([&] { return page.received().size() >= answers.size(); }, 60000));
    QCoreApplication::processEvents();
    QStringList got;
    for (const QVariant &entry : page.received()) {
        const QVariantMap map = entry.toMap();
        got << map.value(QStringLiteral("signal")).toString() + QLatin1Char(' ')
                        + map.value(QStringLiteral("args")).toList().value(0).toString();
    }
    QCOMPARE(got, answers);
}

void TestWkhtmltopdfBridge::singleConversion()
{
    if (realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");
    PageHarness page;
    QVERIFY(openPage(page));
    const QString pdf = page.path(QStringLiteral("store/PDF 1/card.pdf"));
    page.eval(call(QStringLiteral("convertHtmlToPdf"),
                   {QStringLiteral("s1"), pdf,
                    QStringList{QStringLiteral("--run-script"), QStringLiteral("showRecord({number: 'P-1'})")}}));
    QVERIFY(page.waitFor(QStringLiteral("convertHtmlToPdfFinished")));
    QCOMPARE(page.received(QStringLiteral("convertHtmlToPdfFinished")), QList<QVariantList>{{"s1"}});
    QVERIFY(pdfText(pdf).contains(QStringLiteral("P-1")));
    QVERIFY(page.received(QStringLiteral("convertHtmlToPdfError")).isEmpty());
}

void TestWkhtmltopdfBridge::batchWithCounterAndDocuments()
{
    if (realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");
    PageHarness page;
    page.writeContentFile(QStringLiteral("data/docs/terms.docx"), "terms");
    QVERIFY(openPage(page));
    const QString dir = page.eval(call(QStringLiteral("getStorePdfDir"), {QStringLiteral("Выгрузка")})).toString();
    QStringList pdfs;
    QStringList scripts;
    for (int i = 1; i <= 3; ++i) {
        pdfs << dir + QStringLiteral("/card %1.pdf").arg(i);
        scripts << QStringLiteral("showRecord({number: 'R-%1', name: \"Запись \\\"%1\\\"\"})").arg(i);
    }
    page.eval(call(QStringLiteral("convertHtmlToPdfBatch"),
                   {QStringLiteral("b1"), pdfs, scripts, QStringList{QStringLiteral("/data/docs/terms.docx")},
                    QStringList{dir + QStringLiteral("/Условия")}}));
    // The documents are copied when the call returns, the PDFs come later.
    QCOMPARE(QFile(dir + QStringLiteral("/Условия.docx")).size(), qint64(5));

    QVERIFY(page.waitFor(QStringLiteral("convertHtmlToPdfUpdateCounter"), 3, 120000));
    QCOMPARE(page.received(QStringLiteral("convertHtmlToPdfUpdateCounter")),
             (QList<QVariantList>{{"b1", 2}, {"b1", 1}, {"b1", 0}}));
    QVERIFY(page.received(QStringLiteral("convertHtmlToPdfError")).isEmpty());
    for (int i = 1; i <= 3; ++i)
        QVERIFY(pdfText(pdfs.at(i - 1)).contains(QStringLiteral("Запись \"%1\"").arg(i)));
}

void TestWkhtmltopdfBridge::batchAnsweredWithErrorOnce_data()
{
    QTest::addColumn<QByteArray>("fake"); // empty: the real converter
    QTest::addColumn<int>("scripts");
    QTest::addColumn<QList<QVariantList>>("counters");

    QTest::newRow("fewer scripts than PDF files") << QByteArray() << 1 << QList<QVariantList>();
    QTest::newRow("converter dies mid-batch") << QByteArray("cat >/dev/null; printf '\\rDone\\n' >&2; kill -SEGV $$")
                                              << 2 << QList<QVariantList>{{"b1", 1}};
}

void TestWkhtmltopdfBridge::batchAnsweredWithErrorOnce()
{
    QFETCH(QByteArray, fake);
    QFETCH(int, scripts);
    QFETCH(QList<QVariantList>, counters);
    if (fake.isEmpty() && realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");

    PageHarness page;
    QVERIFY(openPage(page, fake.isEmpty()));
    if (!fake.isEmpty())
        AppEnv::setPathToWkhtmltopdfExe(writeFakeConverter(page.appDir(), QStringLiteral("fake"), fake));

    QStringList scriptList;
    for (int i = 0; i < scripts; ++i)
        scriptList << QStringLiteral("showRecord({})");
    const QStringList pdfs{page.path(QStringLiteral("1.pdf")), page.path(QStringLiteral("2.pdf"))};
    page.eval(call(QStringLiteral("convertHtmlToPdfBatch"), {QStringLiteral("b1"), pdfs, scriptList}));
    QVERIFY(page.waitFor(QStringLiteral("convertHtmlToPdfError")));
    QCoreApplication::processEvents();
    QCOMPARE(page.received(QStringLiteral("convertHtmlToPdfError")), QList<QVariantList>{{"b1"}});
    QCOMPARE(page.received(QStringLiteral("convertHtmlToPdfUpdateCounter")), counters);
}

void TestWkhtmltopdfBridge::demoPanelPrintsRecordsInOneBatch()
{
    if (realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");
    PageHarness page;
    const QString demo = qEnvironmentVariable("COVREL_SOURCE_DIR") + QStringLiteral("/content");
    QDirIterator files(demo, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        QFile source(file);
        QVERIFY(source.open(QIODevice::ReadOnly));
        page.writeContentFile(QDir(demo).relativeFilePath(file), source.readAll());
    }
    QVERIFY(openPage(page));
    QCOMPARE(page.eval(QStringLiteral("document.getElementById('pdfStatus').textContent")).toString(),
             QStringLiteral("Конвертер найден"));
    page.eval(QStringLiteral("document.getElementById('pdfPrint').click()"));
    QVERIFY(QTest::qWaitFor(
            [&] { return !page.eval(QStringLiteral("document.getElementById('pdfPrint').disabled")).toBool(); },
            120000));
    QCOMPARE(page.eval(QStringLiteral("document.getElementById('pdfStatus').textContent")).toString(),
             QStringLiteral("Готово: 3 PDF"));
    QCOMPARE(page.eval(QStringLiteral("document.getElementById('pdfProgress').value")).toInt(), 3);
    const QStringList pdfs = page.eval(QStringLiteral("document.getElementById('pdfFiles').textContent"))
                                     .toString()
                                     .split(QLatin1Char('\n'));
    QCOMPARE(pdfs.size(), 3);
    QVERIFY(pdfs.first().startsWith(page.path(QStringLiteral("store/Выписка 1/"))));
    QVERIFY(pdfText(pdfs.at(1)).contains(QStringLiteral("Цех №2 \"Литейный\"")));
    // The progress bar followed the counter: 2, 1, 0 left.
    QCOMPARE(page.received(QStringLiteral("convertHtmlToPdfUpdateCounter")).size(), 3);
}

QTEST_MAIN(TestWkhtmltopdfBridge)
#include "TestWkhtmltopdfBridge.moc"
