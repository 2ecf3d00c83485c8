#include "ScriptText.h"
#include "TestFiles.h"
#include "WkhtmltopdfProcessWkhtmltopdf.h"
#include "WkhtmltopdfTestUtil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using ScriptText::literal;

using namespace WkhtmltopdfTestUtil;
using namespace TestFiles;
using Wkhtmltopdf::ProcessWkhtmltopdf;

// The converter runner on its own: standard-input lines reaching the real
// converter intact, and the batch counter against converters that misbehave
// (fakes, for what the real one cannot be made to do on demand).
class TestWkhtmltopdfProcessWkhtmltopdf : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void stdinLineReachesConverterIntact_data();
    void stdinLineReachesConverterIntact();
    void batchCounter_data();
    void batchCounter();
    void emptyBatchStopsWithoutSignal();
    void hungConverterIsStoppedAndAnswered();
    void batchThatCannotStartIsAnswered();
    void singleRunAnswers_data();
    void singleRunAnswers();

private:
    QScopedPointer<QTemporaryDir> m_dir;
};

namespace {

QList<int> counters(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.at(0).toInt();
    return values;
}

} // namespace

void TestWkhtmltopdfProcessWkhtmltopdf::init() { m_dir.reset(new QTemporaryDir); }

void TestWkhtmltopdfProcessWkhtmltopdf::stdinLineReachesConverterIntact_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<QString>("expected");

    const QString quoted = QStringLiteral("Он сказал \"да\"");
    QTest::newRow("double quotes") << QStringLiteral("setTitle(%1)").arg(literal(quoted)) << "a.pdf" << quoted;
    const QString backslashes = QStringLiteral("C:\\temp\\new \\\" end");
    QTest::newRow("backslashes") << QStringLiteral("setTitle(%1)").arg(literal(backslashes)) << "a.pdf" << backslashes;
    QTest::newRow("single quotes") << QStringLiteral("setTitle('it\\'s')") << "a.pdf"
                                   << "it's";
    QTest::newRow("spaces in the output path") << QStringLiteral("setTitle('spaced')") << "out dir/my file.pdf"
                                               << "spaced";
    QTest::newRow("line break in the script") << QStringLiteral("var s = 'two lines'\nsetTitle(s)") << "a.pdf"
                                              << "two lines";
}

void TestWkhtmltopdfProcessWkhtmltopdf::stdinLineReachesConverterIntact()
{
    QFETCH(QString, script);
    QFETCH(QString, outputName);
    QFETCH(QString, expected);
    if (realConverter().isEmpty())
        QSKIP("the build did not lay out integrations/wkhtmltopdf/wkhtmltopdf (Debian package wkhtmltopdf)");

    const QString page = m_dir->filePath(QStringLiteral("page.html"));
    writeFile(page,
              "<html><head><meta charset='utf-8'></head><body><p id='t'>unset</p>"
              "<script>function setTitle(s) { document.getElementById('t').textContent = s; }</script>"
              "</body></html>");
    const QString output = m_dir->filePath(outputName);
    QDir().mkpath(QFileInfo(output).absolutePath());

    QObject owner;
    auto *run = new ProcessWkhtmltopdf(realConverter(), &owner);
    QSignalSpy counter(run, &ProcessWkhtmltopdf::updateCounter);
    QSignalSpy error(run, &ProcessWkhtmltopdf::error);
    run->start(QUrl::fromLocalFile(page).toString(), QUrl::fromLocalFile(page).toString());
    run->commandToStdin({QStringLiteral("--run-script"), script, QUrl::fromLocalFile(page).toString(), output});
    run->finishQueue();

    QVERIFY(counter.wait(60000));
    QCOMPARE(counters(counter), QList<int>{0});
    QCOMPARE(error.count(), 0);
    QVERIFY(pdfText(output).contains(expected));
}

void TestWkhtmltopdfProcessWkhtmltopdf::batchCounter_data()
{
    QTest::addColumn<QByteArray>("fake");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("expectedCounters");
    QTest::addColumn<bool>("expectError");

    QTest::newRow("every line reported") << QByteArray("while read l; do printf '\\rDone  \\n' >&2; done") << 3
                                         << QList<int>{2, 1, 0} << false;
    QTest::newRow("reports before the last line was queued")
            << QByteArray("printf '\\rDone\\n\\rDone\\n' >&2; cat >/dev/null") << 2 << QList<int>{1, 0} << false;
    QTest::newRow("two markers in one write")
            << QByteArray("read a; read b; printf '\\rDone  \\r\\rDone  \\n' >&2; cat >/dev/null") << 2
            << QList<int>{1, 0} << false;
    QTest::newRow("marker cut between writes")
            << QByteArray("read a; printf 'Printing\\r[=====]\\rDo' >&2; sleep 0.1; printf 'ne\\n' >&2; cat >/dev/null")
            << 1 << QList<int>{0} << false;
    QTest::newRow("Done inside a console message does not count")
            << QByteArray("cat >/dev/null; printf 'Warning: file:///p.html:3 Done loading\\n\\rDone\\n' >&2") << 2
            << QList<int>{1} << true;
    QTest::newRow("crash mid-batch") << QByteArray("cat >/dev/null; printf '\\rDone\\n' >&2; kill -SEGV $$") << 3
                                     << QList<int>{2} << true;
    QTest::newRow("ends without reporting") << QByteArray("cat >/dev/null") << 2 << QList<int>{} << true;
    QTest::newRow("bad line ends the converter (exit 1, no Done)")
            << QByteArray("read a; exit 1") << 3 << QList<int>{} << true;
}

void TestWkhtmltopdfProcessWkhtmltopdf::batchCounter()
{
    QFETCH(QByteArray, fake);
    QFETCH(int, lines);
    QFETCH(QList<int>, expectedCounters);
    QFETCH(bool, expectError);

    QObject owner;
    auto *run = new ProcessWkhtmltopdf(writeFakeConverter(m_dir->path(), QStringLiteral("fake"), fake), &owner);
    QSignalSpy counter(run, &ProcessWkhtmltopdf::updateCounter);
    QSignalSpy error(run, &ProcessWkhtmltopdf::error);
    run->start(QStringLiteral("footer"), QStringLiteral("header"));
    for (int i = 0; i < lines; ++i)
        run->commandToStdin({QStringLiteral("page.html"), QStringLiteral("out%1.pdf").arg(i)});
    QCOMPARE(counter.count(), 0); // nothing is counted before the whole batch is queued
    run->finishQueue();

    QVERIFY(QTest::qWaitFor([&] { return run->isFinished(); }, 60000));
    QCoreApplication::processEvents(); // anything still on its way would show up now
    QCOMPARE(counters(counter), expectedCounters);
    QCOMPARE(error.count(), expectError ? 1 : 0);
    QVERIFY(!(expectError && counters(counter).contains(0)));
}

void TestWkhtmltopdfProcessWkhtmltopdf::emptyBatchStopsWithoutSignal()
{
    QObject owner;
    auto *run = new ProcessWkhtmltopdf(
            writeFakeConverter(m_dir->path(), QStringLiteral("fake"), "cat >/dev/null; printf '\\rDone\\n' >&2"),
            &owner);
    QSignalSpy counter(run, &ProcessWkhtmltopdf::updateCounter);
    QSignalSpy error(run, &ProcessWkhtmltopdf::error);
    run->start(QStringLiteral("footer"), QStringLiteral("header"));
    QVERIFY(run->isStarted());
    run->commandToStdin({}); // never an empty line
    run->finishQueue();
    QVERIFY(run->isFinished());
    QCoreApplication::processEvents();
    QCOMPARE(counter.count(), 0);
    QCOMPARE(error.count(), 0);
    QCOMPARE(run->queueCounter(), 0);
}

void TestWkhtmltopdfProcessWkhtmltopdf::hungConverterIsStoppedAndAnswered()
{
    QObject owner;
    auto *run = new ProcessWkhtmltopdf(
            writeFakeConverter(m_dir->path(), QStringLiteral("fake"), "echo $$ > \"$0.pid\"; exec sleep 1000"), &owner);
    run->setTimeLimit(300);
    QSignalSpy error(run, &ProcessWkhtmltopdf::error);
    run->start(QStringLiteral("footer"), QStringLiteral("header"));
    run->commandToStdin({QStringLiteral("page.html"), QStringLiteral("out.pdf")});
    run->finishQueue();
    QVERIFY(error.wait(60000));
    QVERIFY(run->isFinished());
    QFile pidFile(m_dir->filePath(QStringLiteral("fake.pid")));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    QVERIFY(!processAlive(pidFile.readAll().trimmed().toLongLong()));
    QTest::qWait(50);
    QCOMPARE(error.count(), 1);
}

void TestWkhtmltopdfProcessWkhtmltopdf::batchThatCannotStartIsAnswered()
{
    QObject owner;
    auto *run = new ProcessWkhtmltopdf(m_dir->filePath(QStringLiteral("no-such-converter")), &owner);
    QSignalSpy error(run, &ProcessWkhtmltopdf::error);
    run->start(QStringLiteral("footer"), QStringLiteral("header"));
    run->commandToStdin({QStringLiteral("page.html"), QStringLiteral("out.pdf")});
    run->finishQueue();
    QVERIFY(error.count() == 1 || error.wait(60000));
    QCOMPARE(run->queueCounter(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(error.count(), 1);
}

void TestWkhtmltopdfProcessWkhtmltopdf::singleRunAnswers_data()
{
    QTest::addColumn<QByteArray>("fake");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("non-zero exit counts as finished") << QByteArray("exit 3") << true << 3;
    QTest::newRow("crash") << QByteArray("kill -SEGV $$") << false << 0;
    QTest::newRow("cannot start") << QByteArray() << false << 0;
    QTest::newRow("standard input is closed") << QByteArray("cat >/dev/null; exit 0") << true << 0;
    QTest::newRow("no display platform inherited")
            << QByteArray("[ \"$QT_QPA_PLATFORM\" = offscreen ] && exit 0; exit 9") << true << 0;
}

void TestWkhtmltopdfProcessWkhtmltopdf::singleRunAnswers()
{
    QFETCH(QByteArray, fake);
    QFETCH(bool, finished);
    QFETCH(int, exitCode);

    const QString exe = fake.isEmpty() ? m_dir->filePath(QStringLiteral("missing"))
                                       : writeFakeConverter(m_dir->path(), QStringLiteral("fake"), fake);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "xcb"); // what a desktop session would hand down
    QObject owner;
    auto *run = new ProcessWkhtmltopdf(exe, &owner);
    QSignalSpy finishedSpy(run, &ProcessWkhtmltopdf::finished);
    QSignalSpy errorSpy(run, &ProcessWkhtmltopdf::error);
    QVERIFY(run->command({QStringLiteral("page.html"), QStringLiteral("out.pdf")}));
    qputenv("QT_QPA_PLATFORM", platform);

    QVERIFY(QTest::qWaitFor([&] { return finishedSpy.count() + errorSpy.count() > 0; }, 60000));
    QCoreApplication::processEvents();
    QCOMPARE(finishedSpy.count(), finished ? 1 : 0);
    QCOMPARE(errorSpy.count(), finished ? 0 : 1);
    if (finished)
        QCOMPARE(finishedSpy.first().at(0).toInt(), exitCode);
}

QTEST_GUILESS_MAIN(TestWkhtmltopdfProcessWkhtmltopdf)
#include "TestWkhtmltopdfProcessWkhtmltopdf.moc"
