#include "Installation.h"
#include "TmpfsMount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace {

const QByteArray kWindowUp = QByteArrayLiteral("Регистрирем подписку на события для регистрации бриджа");
const QByteArray kClosingPage = "<html><head><script>__covrelBridge.close('end', true);</script></head></html>";

QJsonArray readJournal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonArray();
    return QJsonDocument::fromJson(file.readAll()).array();
}

} // namespace

// The built program as a user starts it: options, exit codes, the journal,
// the debug file, single-instance refusal, the IDE window and crashes.
class TestCovrelExecutable : public QObject
{
    Q_OBJECT

private slots:
    void helpListsTheOptions();
    void versionIsPrinted();
    void badCommandLinesEndBeforeAnyWindow_data();
    void badCommandLinesEndBeforeAnyWindow();
    void journalStartsWithPlatformRecordThenPageRecords();
    void journalRollsOverThroughThePage();
    void debugFile_data();
    void debugFile();
    void secondCopyIsRefusedAndStaleLockIgnored();
    void ideWindowSharesTheBridge();
    void crashIsLoggedAndEndsTheProcess();
    void removingTheProgramDriveWarnsAndKeepsTheStore();
    void localStorageSurvivesARestart();
    void writesPastTheFileSizeLimitAreAnswered();
    void journalStaysWholeOnAFullDisk();
};

void TestCovrelExecutable::helpListsTheOptions()
{
    Installation app;
    QByteArray out;
    QCOMPARE(app.run({QStringLiteral("--help")}, &out), 0);
    for (const char *option : {"--url <url>", "--content-dir-path <path>", "--debug-file", "--multiple-instances",
                               "--disable-show-maximized", "--7zip", "--wkhtmltopdf", "--pdfPrefixPath"})
        QVERIFY2(out.contains(option), option);
    // Where the store goes when the program's folder is read-only is said; the API dump stays hidden.
    QVERIFY(out.contains("$XDG_DATA_HOME/covrel/store"));
    QVERIFY(!out.contains("print-api"));
    QVERIFY(!out.contains(kWindowUp));
}

void TestCovrelExecutable::versionIsPrinted()
{
    Installation app;
    QByteArray out;
    QCOMPARE(app.run({QStringLiteral("--version")}, &out), 0);
    QVERIFY2(QRegularExpression(QStringLiteral("^covrel \\d+\\.\\d+\\.\\d+\n$"))
                     .match(QString::fromUtf8(out))
                     .hasMatch(),
             out.constData());
    QVERIFY(app.journalFiles().isEmpty());
}

void TestCovrelExecutable::badCommandLinesEndBeforeAnyWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("single dash long option") << QStringList{QStringLiteral("-dev")};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--no-such-option")};
    QTest::newRow("value missing") << QStringList{QStringLiteral("--url")};
}

void TestCovrelExecutable::badCommandLinesEndBeforeAnyWindow()
{
    QFETCH(QStringList, arguments);
    Installation app;
    QByteArray out;
    QByteArray err;
    QCOMPARE(app.run(arguments, &out, &err), 1);
    QVERIFY(!out.contains(kWindowUp));
    QVERIFY(!err.isEmpty());
    QVERIFY(app.journalFiles().isEmpty());
}

void TestCovrelExecutable::journalStartsWithPlatformRecordThenPageRecords()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"),
                     "<html><head><meta charset=\"utf-8\"><script>"
                     "__covrelBridge.logger('1', 'первая запись', {n: 1, s: 'текст'});"
                     "__covrelBridge.logger('2', 'second', {});"
                     "__covrelBridge.close('end', true);"
                     "</script></head></html>");
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}), 0);
    QCOMPARE(app.journalFiles().size(), 1);
    const QString journal = app.journalFiles().first();
    QVERIFY(QFileInfo(journal).fileName().contains(QRegularExpression(QStringLiteral("^\\d{14}\\.json$"))));
    const QJsonArray records = readJournal(journal);
    QCOMPARE(records.size(), 3);
    const QJsonObject platform = records.at(0).toObject();
    QCOMPARE(platform.value(QStringLiteral("message")).toString(), QStringLiteral("Данные по приложению"));
    const QJsonObject data = platform.value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("IsWindows")).toBool(true), false);
    QVERIFY(!data.value(QStringLiteral("CovrelVersion")).toString().isEmpty());
    QVERIFY(!data.value(QStringLiteral("CpuArch")).toString().isEmpty());
    QCOMPARE(records.at(1).toObject().value(QStringLiteral("message")).toString(), QStringLiteral("первая запись"));
    QCOMPARE(records.at(1).toObject().value(QStringLiteral("data")).toObject().value(QStringLiteral("s")).toString(),
             QStringLiteral("текст"));
    QCOMPARE(records.at(2).toObject().value(QStringLiteral("message")).toString(), QStringLiteral("second"));
    QFile file(journal);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith("    }\r\n]\r\n"));
}

void TestCovrelExecutable::journalRollsOverThroughThePage()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"),
                     "<html><head><meta charset=\"utf-8\"><script>"
                     "var big = new Array(1024 * 1024 + 1).join('x');"
                     "for (var i = 0; i < 11; ++i) __covrelBridge.logger(String(i), 'big ' + i, {payload: big});"
                     "__covrelBridge.close('end', true);"
                     "</script></head></html>");
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}), 0);
    const QStringList files = app.journalFiles();
    QCOMPARE(files.size(), 2);
    const QJsonArray first = readJournal(files.at(0));
    const QJsonArray second = readJournal(files.at(1));
    // Platform record plus nine pass the limit; the tenth goes on, the eleventh starts anew.
    QCOMPARE(first.size() + second.size(), 12);
    QVERIFY(QFileInfo(files.at(0)).size() > 10485760);
    QCOMPARE(second.last().toObject().value(QStringLiteral("message")).toString(), QStringLiteral("big 10"));
}

void TestCovrelExecutable::debugFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expectedFile"); // relative to the installation, empty: none written
    QTest::newRow("no debug") << QStringList{} << QString();
    QTest::newRow("debug") << QStringList{QStringLiteral("--debug")} << QStringLiteral("store/logs/debug.log");
    QTest::newRow("debug file with backslashes")
            << QStringList{QStringLiteral("--debug"), QStringLiteral("--debug-file=@\\mine.log")}
            << QStringLiteral("mine.log");
    QTest::newRow("debug file without debug") << QStringList{QStringLiteral("--debug-file=@\\mine.log")} << QString();
}

void TestCovrelExecutable::debugFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expectedFile);
    Installation app;
    app.writeContent(QStringLiteral("index.html"), kClosingPage);
    QString winStyleDir = app.dir();
    winStyleDir.replace(QLatin1Char('/'), QLatin1Char('\\'));
    for (QString &argument : arguments)
        argument.replace(QLatin1Char('@'), winStyleDir);
    arguments << QStringLiteral("--disable-show-maximized");
    QByteArray out;
    QCOMPARE(app.run(arguments, &out), 0);
    QVERIFY(out.contains("[Debug] " + kWindowUp));
    if (expectedFile.isEmpty()) {
        QVERIFY(!QFile::exists(app.path(QStringLiteral("store/logs/debug.log"))));
        QVERIFY(!QFile::exists(app.path(QStringLiteral("mine.log"))));
        return;
    }
    QFile file(app.path(expectedFile));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("] [Debug] " + kWindowUp + "\n"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\] \\["))
                    .match(QString::fromUtf8(text))
                    .hasMatch());
}

void TestCovrelExecutable::secondCopyIsRefusedAndStaleLockIgnored()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"),
                     "<html><body><script>console.log('page-ready');</script></body></html>");
    QScopedPointer<QProcess> first(app.start({QStringLiteral("--disable-show-maximized")}));
    QVERIFY(Installation::waitForOutput(first.data(), "page-ready"));

    QByteArray out;
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}, &out), 0);
    QVERIFY(!out.contains(kWindowUp));
    QCOMPARE(app.journalFiles().size(), 1);

    // A killed instance leaves its lock behind; the next start must not be blocked by it.
    ::kill(pid_t(first->processId()), SIGKILL);
    first->waitForFinished();
    QScopedPointer<QProcess> third(app.start({QStringLiteral("--disable-show-maximized")}));
    QVERIFY(Installation::waitForOutput(third.data(), "page-ready"));
    third->terminate();
    third->waitForFinished();
}

void TestCovrelExecutable::ideWindowSharesTheBridge()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"), "<html><body>main</body></html>");
    app.writeContent(QStringLiteral("ide.html"),
                     "<html><head><meta charset=\"utf-8\"><script>"
                     "__covrelBridge.logger('ide', 'from ide', {title: document.title});"
                     "__covrelBridge.close('end', true);"
                     "</script></head></html>");
    QCOMPARE(app.run({QStringLiteral("--ide"), QStringLiteral("--disable-show-maximized")}), 0);
    const QJsonArray records = readJournal(app.journalFiles().first());
    QCOMPARE(records.last().toObject().value(QStringLiteral("message")).toString(), QStringLiteral("from ide"));
}

void TestCovrelExecutable::crashIsLoggedAndEndsTheProcess()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"),
                     "<html><body><script>console.log('page-ready');</script></body></html>");
    QScopedPointer<QProcess> shell(app.start({QStringLiteral("--disable-show-maximized")}));
    QVERIFY(Installation::waitForOutput(shell.data(), "page-ready"));
    ::kill(pid_t(shell->processId()), SIGSEGV);
    QVERIFY(shell->waitForFinished());
    QCOMPARE(shell->exitStatus(), QProcess::CrashExit);
    QVERIFY(shell->readAllStandardOutput().contains("[Debug] blablabla\n"));
    QVERIFY(shell->readAllStandardError().contains("Changed: 11"));
}

void TestCovrelExecutable::removingTheProgramDriveWarnsAndKeepsTheStore()
{
    TmpfsMount drive(512 * 1024 * 1024);
    if (!drive.mounted())
        QSKIP("Mounting a file system is not permitted here (root needed): no drive to pull from under the program");
    Installation app(drive.path());
    app.writeContent(QStringLiteral("index.html"),
                     "<html><body><script>"
                     "console.log('store-before ' + __covrelBridge.getStoreDirPath());"
                     "setInterval(function () { console.log('store-now ' + __covrelBridge.getStoreDirPath()); }, 50);"
                     "</script></body></html>");
    QScopedPointer<QProcess> shell(app.start({QStringLiteral("--disable-show-maximized")}));
    const QByteArray store = app.path(QStringLiteral("store")).toUtf8();
    QVERIFY(Installation::waitForLine(shell.data(), "store-before ").endsWith(" " + store));

    QVERIFY(drive.detach());
    QVERIFY(!Installation::waitForLine(
                     shell.data(),
                     QStringLiteral("[USB_DEVICE] Приложение запущено с флешки показываем сообщение").toUtf8())
                     .isEmpty());
    // Nobody answers the warning here; the page goes on and its store stays where it was.
    QVERIFY(Installation::waitForLine(shell.data(), "store-now ").endsWith(" " + store));
    shell->kill();
    shell->waitForFinished();
}

void TestCovrelExecutable::localStorageSurvivesARestart()
{
    Installation app;
    app.writeContent(QStringLiteral("index.html"),
                     "<html><head><script>"
                     "var before = localStorage.getItem('kept');"
                     "localStorage.setItem('kept', before ? 'again' : 'first run');"
                     "__covrelBridge.logger('ls', 'storage', {before: before});"
                     "__covrelBridge.close('end', true);"
                     "</script></head></html>");
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}), 0);
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}), 0);
    const QStringList journals = app.journalFiles();
    QCOMPARE(journals.size(), 2);
    const QJsonObject second = readJournal(journals.last()).last().toObject();
    QCOMPARE(second.value(QStringLiteral("data")).toObject().value(QStringLiteral("before")).toString(),
             QStringLiteral("first run"));
}

void TestCovrelExecutable::writesPastTheFileSizeLimitAreAnswered()
{
    Installation app;
    app.setFileSizeLimit(1024 * 1024);
    app.writeContent(QStringLiteral("index.html"),
                     "<html><head><script>"
                     "var bridge = __covrelBridge, big = 'x'.repeat(2 * 1024 * 1024), answers = [];"
                     "bridge.writeToStoreError.connect(function (id, name, message) { answers.push(id); });"
                     "bridge.saveFileError.connect(function (id, name, code) { answers.push(id + ' ' + code); });"
                     "bridge.writeToStore('store', 'big.txt', big);"
                     "bridge.saveFile('work', bridge.getStoreDirPath(), 'big.txt', big);"
                     "bridge.logger('end', 'answers', {answers: answers});"
                     "bridge.close('end', true);"
                     "</script></head></html>");
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}), 0);
    const QJsonObject last = readJournal(app.journalFiles().first()).last().toObject();
    QCOMPARE(last.value(QStringLiteral("data")).toObject().value(QStringLiteral("answers")).toArray(),
             (QJsonArray{QStringLiteral("store"), QStringLiteral("work errorSave")}));
}

void TestCovrelExecutable::journalStaysWholeOnAFullDisk()
{
    Installation app;
    // A disk of 64 KiB for the journal; where mounting is not allowed, a file
    // size limit stops the writes the same way.
    TmpfsMount disk(64 * 1024);
    if (disk.mounted()) {
        QVERIFY(QDir().mkpath(app.path(QStringLiteral("store"))));
        QVERIFY(QFile::link(disk.path(), app.path(QStringLiteral("store/logs"))));
    } else {
        app.setFileSizeLimit(64 * 1024);
    }
    app.writeContent(QStringLiteral("index.html"),
                     "<html><head><script>"
                     "var bridge = __covrelBridge, big = 'x'.repeat(100 * 1024);"
                     "bridge.logger('1', 'small 1', {});"
                     "bridge.logger('2', 'big 1', {payload: big});"
                     "bridge.logger('3', 'big 2', {payload: big});"
                     "bridge.logger('4', 'small 2', {});"
                     "bridge.close('end', true);"
                     "</script></head></html>");
    QByteArray out;
    QCOMPARE(app.run({QStringLiteral("--disable-show-maximized")}, &out), 0);
    const QStringList journals = app.journalFiles();
    QCOMPARE(journals.size(), 1);
    QFile file(journals.first());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonParseError error{};
    const QJsonArray records = QJsonDocument::fromJson(file.readAll(), &error).array();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QStringList messages;
    for (const QJsonValue &record : records)
        messages << record.toObject().value(QStringLiteral("message")).toString();
    QCOMPARE(messages,
             (QStringList{QStringLiteral("Данные по приложению"), QStringLiteral("small 1"),
                          QStringLiteral("small 2")}));
    QCOMPARE(out.count("[LogWriter] Запись не поместилась в журнал"), 1);
}

QTEST_GUILESS_MAIN(TestCovrelExecutable)
#include "TestCovrelExecutable.moc"
