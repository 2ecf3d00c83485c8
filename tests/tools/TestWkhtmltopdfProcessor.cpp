#include "AppEnv.h"
#include "LogLines.h"
#include "TestFiles.h"
#include "WkhtmltopdfProcessWkhtmltopdf.h"
#include "WkhtmltopdfProcessor.h"
#include "WkhtmltopdfTestUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace WkhtmltopdfTestUtil;
using namespace TestFiles;
using Wkhtmltopdf::Processor;

// Single and batch conversions as the bridge runs them, on a throw-away
// installation with the demo print pages and the real converter laid out.
class TestWkhtmltopdfProcessor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void availability_data();
    void availability();
    void singleConversion();
    void singleRunAnsweredByItsPdf_data();
    void singleRunAnsweredByItsPdf();
    void batchOfThree();
    void emptyBatch();
    void batchWithMissingSecondPage();
    void refusedBatches_data();
    void refusedBatches();
    void dataDocumentCopies_data();
    void dataDocumentCopies();
    void prefixPathPages_data();
    void prefixPathPages();

private:
    void requireConverter();
    void layOutConverter(const QString &name, const QString &target);
    QString app(const QString &relative) const { return m_dir->filePath(relative); }
    static qint64 loggedProcessId(const LogLines &log);

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_previousCurrentDir;
};

namespace {

QList<int> counters(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.at(0).toInt();
    return values;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

void TestWkhtmltopdfProcessor::init()
{
    m_dir.reset(new QTemporaryDir);
    m_previousCurrentDir = QDir::currentPath();
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(m_dir->path());
    copyDemoPrintPages(app(QStringLiteral("content")));
    if (!realConverter().isEmpty())
        layOutConverter(QStringLiteral("wkhtmltopdf"), realConverter());
}

void TestWkhtmltopdfProcessor::cleanup()
{
    QDir::setCurrent(m_previousCurrentDir);
    AppEnv::overrideApplicationDirPath(QString());
    AppEnv::resetToDefaults();
}

void TestWkhtmltopdfProcessor::requireConverter()
{
    if (realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");
}

void TestWkhtmltopdfProcessor::layOutConverter(const QString &name, const QString &target)
{
    QDir().mkpath(app(QStringLiteral("integrations/wkhtmltopdf")));
    QFile::link(target, app(QStringLiteral("integrations/wkhtmltopdf/") + name));
}

qint64 TestWkhtmltopdfProcessor::loggedProcessId(const LogLines &log)
{
    const QString prefix = QStringLiteral("[ProcessWkhtmltopdf] Process id: ");
    return log.startingWith(prefix).value(0).mid(prefix.size()).toLongLong();
}

void TestWkhtmltopdfProcessor::availability_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("laidOut");
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("path");

    QTest::newRow("laid-out converter") << QString() << QStringList{"wkhtmltopdf"} << true << QString()
                                        << "@/integrations/wkhtmltopdf/wkhtmltopdf";
    QTest::newRow("windows name first") << QString() << QStringList{"wkhtmltopdf", "wkhtmltopdf.exe"} << true
                                        << QString() << "@/integrations/wkhtmltopdf/wkhtmltopdf.exe";
    QTest::newRow("no converter") << QString() << QStringList() << false << "exe_file_not_exists" << QString();
    QTest::newRow("setting names a missing file")
            << "@/nowhere/wkhtmltopdf" << QStringList{"wkhtmltopdf"} << true << "exe_file_not_exists"
            << "@/nowhere/wkhtmltopdf";
    QTest::newRow("setting names an existing file")
            << "@/own/converter" << QStringList() << true << QString() << "@/own/converter";
}

void TestWkhtmltopdfProcessor::availability()
{
    QFETCH(QString, setting);
    QFETCH(QStringList, laidOut);
    QFETCH(bool, available);
    QFETCH(QString, code);
    QFETCH(QString, path);

    QDir(app(QStringLiteral("integrations"))).removeRecursively();
    for (const QString &name : laidOut)
        writeFile(app(QStringLiteral("integrations/wkhtmltopdf/") + name), "#!/bin/sh\n");
    writeFile(app(QStringLiteral("own/converter")), "#!/bin/sh\n");
    AppEnv::setPathToWkhtmltopdfExe(setting.replace(QLatin1Char('@'), m_dir->path()));

    Processor processor;
    QCOMPARE(processor.isAvailable(), available);
    QCOMPARE(processor.getAvailableErrorCode(), code);
    QCOMPARE(processor.getPathToWkhtmltopdfExe(), path.replace(QLatin1Char('@'), m_dir->path()));
    if (!available) {
        // Not available: both calls do nothing and answer nothing.
        QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
        QVERIFY(!processor.convertHtmlToPdf(app(QStringLiteral("a.pdf")), {}));
        QVERIFY(!processor.convertHtmlToPdfBatch({app(QStringLiteral("a.pdf"))}, {QString()}, {}, {}));
        QCOMPARE(error.count(), 0);
        QVERIFY(processor.runs().isEmpty());
    }
}

void TestWkhtmltopdfProcessor::singleConversion()
{
    requireConverter();
    LogLines log;
    const QString pdf = app(QStringLiteral("new folder/sub/card.pdf"));
    Processor processor;
    QSignalSpy finished(&processor, &Processor::convertHtmlToPdfFinished);
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QVERIFY(processor.convertHtmlToPdf(
            pdf, {QStringLiteral("--run-script"), QStringLiteral("showRecord({number: 'S-17', name: 'Одиночный'})")}));
    QVERIFY(log.lines().contains(QStringLiteral("Директории для хранения PDF нет. Cоздаем. Путь: ")
                                 + app(QStringLiteral("new folder/sub"))));
    QVERIFY(finished.wait(60000));
    QCOMPARE(error.count(), 0);
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("S-17")) && text.contains(QStringLiteral("Одиночный")), qPrintable(text));
}

void TestWkhtmltopdfProcessor::singleRunAnsweredByItsPdf_data()
{
    QTest::addColumn<QByteArray>("fake"); // empty: the real converter without its print page
    QTest::addColumn<bool>("earlierPdf");
    QTest::addColumn<bool>("finished");

    QTest::newRow("print page missing: exit 1, no PDF") << QByteArray() << false << false;
    QTest::newRow("exit 0, only an earlier PDF there") << QByteArray("exit 0") << true << false;
    QTest::newRow("exit 1 with the PDF written (a page resource failed)")
            << QByteArray("for last; do :; done; echo '%PDF' > \"$last\"; exit 1") << true << true;
}

void TestWkhtmltopdfProcessor::singleRunAnsweredByItsPdf()
{
    QFETCH(QByteArray, fake);
    QFETCH(bool, earlierPdf);
    QFETCH(bool, finished);

    if (fake.isEmpty()) {
        requireConverter();
        QFile::remove(app(QStringLiteral("content/pdf.html")));
    } else {
        AppEnv::setPathToWkhtmltopdfExe(writeFakeConverter(m_dir->path(), QStringLiteral("fake"), fake));
    }
    const QString pdf = app(QStringLiteral("out.pdf"));
    if (earlierPdf) {
        writeFile(pdf, "%PDF of an earlier call");
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::ReadWrite));
        QVERIFY(earlier.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }
    Processor processor;
    QSignalSpy finishedSpy(&processor, &Processor::convertHtmlToPdfFinished);
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QVERIFY(processor.convertHtmlToPdf(pdf, {}));
    QVERIFY(QTest::qWaitFor([&] { return finishedSpy.count() + error.count() > 0; }, 60000));
    QCOMPARE(finishedSpy.count(), finished ? 1 : 0);
    QCOMPARE(error.count(), finished ? 0 : 1);
}

void TestWkhtmltopdfProcessor::batchOfThree()
{
    requireConverter();
    LogLines log;
    const QStringList names{QStringLiteral("Первый \"в кавычках\""), QStringLiteral("Second \\ slash"),
                            QStringLiteral("Третий it's")};
    QStringList pdfs;
    QStringList scripts;
    for (int i = 0; i < names.size(); ++i) {
        pdfs << app(QStringLiteral("Report 1/card %1.pdf").arg(i + 1));
        QString name = names.at(i);
        name.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        scripts << QStringLiteral("showRecord({number: \"B-%1\", name: \"%2\"})").arg(i + 1).arg(name);
    }

    Processor processor;
    QSignalSpy counter(&processor, &Processor::convertHtmlToPdfUpdateCounter);
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QVERIFY(processor.convertHtmlToPdfBatch(pdfs, scripts, {}, {}));
    QVERIFY(QTest::qWaitFor([&] { return counters(counter).contains(0) || error.count() > 0; }, 120000));
    QCOMPARE(counters(counter), (QList<int>{2, 1, 0}));
    QCOMPARE(error.count(), 0);
    QVERIFY(!processAlive(loggedProcessId(log)));
    QVERIFY(log.lines().contains(QStringLiteral("[ProcessWkhtmltopdf] PROCESS STOP")));
    for (int i = 0; i < names.size(); ++i) {
        const QString text = pdfText(pdfs.at(i));
        QVERIFY2(text.contains(QStringLiteral("B-%1").arg(i + 1)) && text.contains(names.at(i)), qPrintable(text));
    }
}

void TestWkhtmltopdfProcessor::emptyBatch()
{
    requireConverter();
    LogLines log;
    Processor processor;
    QSignalSpy counter(&processor, &Processor::convertHtmlToPdfUpdateCounter);
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QVERIFY(processor.convertHtmlToPdfBatch({}, {}, {}, {}));
    QVERIFY(loggedProcessId(log) > 0);
    QVERIFY(!processAlive(loggedProcessId(log)));
    QCoreApplication::processEvents();
    QCOMPARE(counter.count(), 0);
    QCOMPARE(error.count(), 0);
}

void TestWkhtmltopdfProcessor::batchWithMissingSecondPage()
{
    requireConverter();
    // The first page asks this server for a picture; the page file goes before
    // the answer, so the first conversion has its page and the second has none.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            socket->readAll();
            QFile::remove(app(QStringLiteral("content/pdf.html")));
            socket->write("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
        });
    });
    writeFile(app(QStringLiteral("content/pdf.html")),
              QStringLiteral("<html><body><p>first page</p><img src='http://127.0.0.1:%1/mark.png'></body></html>")
                      .arg(server.serverPort())
                      .toUtf8());

    LogLines log;
    const QStringList pdfs{app(QStringLiteral("out/1.pdf")), app(QStringLiteral("out/2.pdf")),
                           app(QStringLiteral("out/3.pdf"))};
    Processor processor;
    QSignalSpy counter(&processor, &Processor::convertHtmlToPdfUpdateCounter);
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QVERIFY(processor.convertHtmlToPdfBatch(pdfs, {QString(), QString(), QString()}, {}, {}));
    QVERIFY(error.wait(120000));
    QCOMPARE(counters(counter), QList<int>{2});
    QVERIFY(!processAlive(loggedProcessId(log)));
    QVERIFY(pdfText(pdfs.at(0)).contains(QStringLiteral("first page")));
    QVERIFY(!QFile::exists(pdfs.at(1)));
    QVERIFY(!QFile::exists(pdfs.at(2)));
    QCoreApplication::processEvents();
    QCOMPARE(error.count(), 1);
    QCOMPARE(counter.count(), 1);
}

void TestWkhtmltopdfProcessor::refusedBatches_data()
{
    QTest::addColumn<QStringList>("pdfs");
    QTest::addColumn<QStringList>("scripts");
    QTest::addColumn<QStringList>("docsFrom");
    QTest::addColumn<QStringList>("docsTo");

    QTest::newRow("fewer scripts than PDF files")
            << QStringList{"@/1.pdf", "@/2.pdf"} << QStringList{"a()"} << QStringList() << QStringList();
    QTest::newRow("scripts left out") << QStringList{"@/1.pdf"} << QStringList() << QStringList() << QStringList();
    QTest::newRow("fewer destinations than documents")
            << QStringList() << QStringList() << QStringList{"docs/b.docx", "docs/b.docx"} << QStringList{"@/x"};
    QTest::newRow("an empty PDF path") << QStringList{"@/1.pdf", ""} << QStringList{"a()", "b()"} << QStringList()
                                       << QStringList();
}

void TestWkhtmltopdfProcessor::refusedBatches()
{
    QFETCH(QStringList, pdfs);
    QFETCH(QStringList, scripts);
    QFETCH(QStringList, docsFrom);
    QFETCH(QStringList, docsTo);
    pdfs.replaceInStrings(QStringLiteral("@"), m_dir->path());
    docsTo.replaceInStrings(QStringLiteral("@"), m_dir->path());
    writeFile(app(QStringLiteral("content/data/docs/b.docx")), "B");
    AppEnv::setPathToWkhtmltopdfExe(writeFakeConverter(m_dir->path(), QStringLiteral("fake"), "cat >/dev/null"));

    Processor processor;
    QSignalSpy error(&processor, &Processor::convertHtmlToPdfError);
    QSignalSpy counter(&processor, &Processor::convertHtmlToPdfUpdateCounter);
    QVERIFY(!processor.convertHtmlToPdfBatch(pdfs, scripts, docsFrom, docsTo));
    QCOMPARE(error.count(), 1);
    QCOMPARE(counter.count(), 0);
    QVERIFY(processor.runs().isEmpty()); // nothing was started
    QVERIFY(!QFile::exists(app(QStringLiteral("x.docx"))));
}

void TestWkhtmltopdfProcessor::dataDocumentCopies_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expected"); // the file that holds the copy, or empty
    QTest::addColumn<QString>("logged");

    QTest::newRow("extension appended") << "docs/b.docx"
                                        << "@/out/a"
                                        << "@/out/a.docx"
                                        << "Файл docs/b.docx скопирован в @/out/a.docx";
    QTest::newRow("extension already there") << "docs/b.docx"
                                             << "@/out/a.docx"
                                             << "@/out/a.docx"
                                             << "Файл docs/b.docx скопирован в @/out/a.docx";
    QTest::newRow("extension in another case appended again") << "docs/b.docx"
                                                              << "@/out/a.DOCX"
                                                              << "@/out/a.DOCX.docx"
                                                              << "Файл docs/b.docx скопирован в @/out/a.DOCX.docx";
    QTest::newRow("/data/ names the content data folder") << "/data/docs/b.docx"
                                                          << "@/out/a"
                                                          << "@/out/a.docx"
                                                          << "Копируем документ: docs/b.docx. в @/out/a";
    QTest::newRow("data/ too") << "data/docs/b.docx"
                               << "@/out/a"
                               << "@/out/a.docx"
                               << "Файл docs/b.docx скопирован в @/out/a.docx";
    QTest::newRow("missing folders created") << "docs/b.docx"
                                             << "@/x/y/a"
                                             << "@/x/y/a.docx"
                                             << "Директории для хранения документа нет. Cоздаем. Путь: @/x/y";
    QTest::newRow("empty destination: own name, current folder") << "docs/b.docx"
                                                                 << ""
                                                                 << "@/b.docx"
                                                                 << "Файл docs/b.docx скопирован в b.docx";
    QTest::newRow("blank destination") << "docs/b.docx"
                                       << "  "
                                       << "@/b.docx"
                                       << "Файл docs/b.docx скопирован в b.docx";
    QTest::newRow("missing source skipped")
            << "docs/none.docx"
            << "@/out/a" << QString() << "Файл не найден. Файл: docs/none.docx. Путь: @/content/data/docs/none.docx";
    QTest::newRow("existing file kept") << "docs/b.docx"
                                        << "@/keep/a" << QString() << "Файл docs/b.docx скопирован в @/keep/a.docx";
}

void TestWkhtmltopdfProcessor::dataDocumentCopies()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, expected);
    QFETCH(QString, logged);
    requireConverter();
    to.replace(QLatin1Char('@'), m_dir->path());
    expected.replace(QLatin1Char('@'), m_dir->path());
    logged.replace(QLatin1Char('@'), m_dir->path());
    writeFile(app(QStringLiteral("content/data/docs/b.docx")), "copied");
    writeFile(app(QStringLiteral("keep/a.docx")), "kept");
    QDir::setCurrent(m_dir->path());

    LogLines log;
    Processor processor;
    QVERIFY(processor.convertHtmlToPdfBatch({}, {}, {from}, {to}));
    QVERIFY2(log.lines().contains(logged), qPrintable(log.lines().join(QLatin1Char('\n'))));
    if (!expected.isEmpty())
        QCOMPARE(readAll(expected), QStringLiteral("copied"));
    QCOMPARE(readAll(app(QStringLiteral("keep/a.docx"))), QStringLiteral("kept"));
    if (from.contains(QStringLiteral("none")))
        QVERIFY(!QFile::exists(app(QStringLiteral("out/a.docx"))));
}

void TestWkhtmltopdfProcessor::prefixPathPages_data()
{
    QTest::addColumn<bool>("batch");
    QTest::newRow("single") << false;
    QTest::newRow("batch") << true;
}

void TestWkhtmltopdfProcessor::prefixPathPages()
{
    QFETCH(bool, batch);
    requireConverter();
    writeFile(app(QStringLiteral("elsewhere/pdf.html")), "<html><body><p>page from the prefix path</p></body></html>");
    AppEnv::setPdfPrefixPath(QUrl::fromLocalFile(app(QStringLiteral("elsewhere"))).toString());

    const QString pdf = app(QStringLiteral("prefixed.pdf"));
    Processor processor;
    QSignalSpy finished(&processor, &Processor::convertHtmlToPdfFinished);
    QSignalSpy counter(&processor, &Processor::convertHtmlToPdfUpdateCounter);
    if (batch)
        QVERIFY(processor.convertHtmlToPdfBatch({pdf}, {QString()}, {}, {}));
    else
        QVERIFY(processor.convertHtmlToPdf(pdf, {}));
    QVERIFY((batch ? counter : finished).wait(60000));
    QVERIFY(pdfText(pdf).contains(QStringLiteral("page from the prefix path")));
}

QTEST_GUILESS_MAIN(TestWkhtmltopdfProcessor)
#include "TestWkhtmltopdfProcessor.moc"
