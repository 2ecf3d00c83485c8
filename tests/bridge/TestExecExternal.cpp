#include "PageHarness.h"
#include "ScriptText.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using ScriptText::literal;
using namespace TestFiles;

// execExternal and isExecExternal of __covrelBridge, called from a real page,
// starting real programs (small shell scripts the test writes).
class TestExecExternal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void run_data();
    void run();
    void childSeesArgumentsDirectoryAndEnvironment();
    void twoRunsAtOnce();
    void childStreams_data();
    void childStreams();
    void relativePath_data();
    void relativePath();
    void isExecExternal_data();
    void isExecExternal();

private:
    QString writeProgram(const QString &name, const QByteArray &body, bool executable = true);
    void callExec(const QString &handlerId, const QString &execPath, const QStringList &arguments,
                  const QString &workingDir);
    QStringList signalNames();
    bool waitForEnd();

    QTemporaryDir m_dir;
    PageHarness m_page;
};

namespace {

const QStringList EXEC_SIGNALS{QStringLiteral("execExternalStarted"), QStringLiteral("execExternalFinished"),
                               QStringLiteral("execExternalError")};

} // namespace

void TestExecExternal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_page.open());
    m_page.record(QStringLiteral("__covrelBridge"), EXEC_SIGNALS);
}

void TestExecExternal::init() { m_page.clearReceived(); }

QString TestExecExternal::writeProgram(const QString &name, const QByteArray &body, bool executable)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
        return QString();
    const QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    file.setPermissions(executable ? readWrite | QFileDevice::ExeOwner : readWrite);
    return path;
}

void TestExecExternal::callExec(const QString &handlerId, const QString &execPath, const QStringList &arguments,
                                const QString &workingDir)
{
    m_page.eval(QStringLiteral("__covrelBridge.execExternal(%1, %2, %3, %4)")
                        .arg(literal(handlerId), literal(execPath), literal(arguments), literal(workingDir)));
}

QStringList TestExecExternal::signalNames()
{
    QStringList names;
    for (const QVariant &entry : m_page.received())
        names << entry.toMap().value(QStringLiteral("signal")).toString();
    return names;
}

// The run's last answer, either one; the wait is only a safety net against a
// child that never ends.
bool TestExecExternal::waitForEnd()
{
    return QTest::qWaitFor(
            [this] {
                const QStringList names = signalNames();
                return names.contains(QStringLiteral("execExternalFinished"))
                        || names.contains(QStringLiteral("execExternalError"));
            },
            20000);
}

void TestExecExternal::run_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("writtenWithBackslashes");
    QTest::addColumn<QStringList>("expectedSignals");
    QTest::addColumn<QString>("expectedError");
    QTest::addColumn<bool>("answeredDuringCall");

    const QStringList startedThenError{"execExternalStarted", "execExternalError"};
    const QString failed = QStringLiteral("Программа завершилась с ошибкой");
    QTest::newRow("exits 0") << QByteArray("#!/bin/sh\nexit 0\n") << true << false
                             << QStringList{"execExternalStarted", "execExternalFinished"} << QString() << false;
    QTest::newRow("exits 3") << QByteArray("#!/bin/sh\nexit 3\n") << true << false << startedThenError << failed
                             << false;
    QTest::newRow("crashes") << QByteArray("#!/bin/sh\nkill -SEGV $$\n") << true << false << startedThenError << failed
                             << false;
    QTest::newRow("missing file") << QByteArray() << true << false << QStringList{"execExternalError"}
                                  << "Испольняемый файл не найден" << true;
    QTest::newRow("not executable") << QByteArray("#!/bin/sh\nexit 0\n") << false << false
                                    << QStringList{"execExternalError"} << "Файл не является исполняемым" << true;
    QTest::newRow("cannot be started") << QByteArray("#!/nonexistent/interpreter\n") << true << false
                                       << QStringList{"execExternalError"} << "Неудалось запустить программу" << false;
    QTest::newRow("path with backslashes")
            << QByteArray("#!/bin/sh\nexit 0\n") << true << true
            << QStringList{"execExternalStarted", "execExternalFinished"} << QString() << false;
}

void TestExecExternal::run()
{
    QFETCH(QByteArray, program);
    QFETCH(bool, executable);
    QFETCH(bool, writtenWithBackslashes);
    QFETCH(QStringList, expectedSignals);
    QFETCH(QString, expectedError);
    QFETCH(bool, answeredDuringCall);

    QString path = program.isEmpty()
            ? m_dir.filePath(QStringLiteral("absent.sh"))
            : writeProgram(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_'), program, executable);
    QVERIFY(!path.isEmpty());
    if (writtenWithBackslashes)
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));

    callExec(QStringLiteral("7"), path, {}, m_dir.path());
    if (answeredDuringCall)
        QCOMPARE(signalNames(), expectedSignals);
    QVERIFY(m_page.waitFor(expectedSignals.last()));

    QCOMPARE(signalNames(), expectedSignals);
    for (const QVariant &entry : m_page.received()) {
        const QVariantList args = entry.toMap().value(QStringLiteral("args")).toList();
        QCOMPARE(args.mid(0, 2), (QVariantList{QStringLiteral("7"), path}));
    }
    if (!expectedError.isEmpty())
        QCOMPARE(m_page.received(QStringLiteral("execExternalError")).value(0).value(2).toString(), expectedError);
}

void TestExecExternal::childSeesArgumentsDirectoryAndEnvironment()
{
    qputenv("COVREL_EXEC_MARK", "inherited value");
    qputenv("LD_LIBRARY_PATH", "/somewhere/lib");
    const QString report = m_dir.filePath(QStringLiteral("report.txt"));
    const QString program = writeProgram(
            QStringLiteral("report.sh"),
            "#!/bin/sh\n"
            "{ pwd; for a in \"$@\"; do echo \"arg[$a]\"; done;\n"
            "  echo \"ld[${LD_LIBRARY_PATH-unset}]\"; echo \"mark[$COVREL_EXEC_MARK]\"; } > \"$REPORT\"\n");
    qputenv("REPORT", report.toUtf8());
    const QString workDir = m_dir.filePath(QStringLiteral("work dir"));
    QVERIFY(QDir().mkpath(workDir));

    callExec(QStringLiteral("env"), program, {QStringLiteral("two words"), QStringLiteral("say \"hi\""), QString()},
             workDir);
    QVERIFY(m_page.waitFor(QStringLiteral("execExternalFinished")));
    qunsetenv("LD_LIBRARY_PATH");

    const QStringList lines = QString::fromUtf8(readFile(report)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines,
             (QStringList{workDir, QStringLiteral("arg[two words]"), QStringLiteral("arg[say \"hi\"]"),
                          QStringLiteral("arg[]"), QStringLiteral("ld[]"), QStringLiteral("mark[inherited value]")}));
}

void TestExecExternal::twoRunsAtOnce()
{
    // Each waits until the test opens its gate, so both are running together.
    const QByteArray body = "#!/bin/sh\nwhile [ ! -e \"$1\" ]; do sleep 0.05; done\nexit \"$2\"\n";
    const QString program = writeProgram(QStringLiteral("gated.sh"), body);
    const QString gate = m_dir.filePath(QStringLiteral("gate"));

    callExec(QStringLiteral("a"), program, {gate, QStringLiteral("0")}, m_dir.path());
    callExec(QStringLiteral("b"), program, {gate, QStringLiteral("5")}, m_dir.path());
    QVERIFY(m_page.waitFor(QStringLiteral("execExternalStarted"), 2));
    QCOMPARE(signalNames(), (QStringList{"execExternalStarted", "execExternalStarted"}));
    QFile(gate).open(QIODevice::WriteOnly);

    QVERIFY(m_page.waitFor(QStringLiteral("execExternalFinished")));
    QVERIFY(m_page.waitFor(QStringLiteral("execExternalError")));
    QCOMPARE(m_page.received(QStringLiteral("execExternalFinished")), (QList<QVariantList>{{"a", program}}));
    QCOMPARE(m_page.received(QStringLiteral("execExternalError")),
             (QList<QVariantList>{{"b", program, QStringLiteral("Программа завершилась с ошибкой")}}));
}

void TestExecExternal::childStreams_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("body");

    // Reads its input to the end: it ends only when there is no more to come.
    QTest::newRow("reads its input") << "/bin/cat" << QByteArray();
    // Nothing answers the child or reads its output, so nothing is kept for it.
    QTest::newRow("streams lead nowhere")
            << "streams.sh"
            << QByteArray("#!/bin/sh\n[ /dev/stdin -ef /dev/null ] && [ /dev/stdout -ef /dev/null ] && "
                          "[ /dev/stderr -ef /dev/null ]\n");
}

void TestExecExternal::childStreams()
{
    QFETCH(QString, program);
    QFETCH(QByteArray, body);
    if (!body.isEmpty())
        program = writeProgram(program, body);
    QVERIFY(QFileInfo(program).isExecutable());

    callExec(QStringLiteral("s"), program, {}, m_dir.path());
    QVERIFY(waitForEnd());
    QCOMPARE(signalNames(), (QStringList{"execExternalStarted", "execExternalFinished"}));
}

void TestExecExternal::relativePath_data()
{
    QTest::addColumn<QString>("execPath");

    QTest::newRow("from the current folder") << "./prog.sh";
    QTest::newRow("bare name") << "prog.sh";
}

void TestExecExternal::relativePath()
{
    QFETCH(QString, execPath);
    // The same name in the current folder and in the run's working folder:
    // the one checked (relative to the current folder) is the one started.
    const QString report = m_dir.filePath(QStringLiteral("which.txt"));
    QFile::remove(report);
    for (const QString &folder : {QStringLiteral("current"), QStringLiteral("working")}) {
        QVERIFY(QDir(m_dir.path()).mkpath(folder));
        QVERIFY(!writeProgram(folder + QStringLiteral("/prog.sh"),
                              "#!/bin/sh\necho " + folder.toUtf8() + " > \"" + report.toUtf8() + "\"\n")
                         .isEmpty());
    }
    const QString previousCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.filePath(QStringLiteral("current"))));
    callExec(QStringLiteral("r"), execPath, {}, m_dir.filePath(QStringLiteral("working")));
    const bool ended = waitForEnd();
    QDir::setCurrent(previousCwd);

    QVERIFY(ended);
    QCOMPARE(signalNames(), (QStringList{"execExternalStarted", "execExternalFinished"}));
    QCOMPARE(readFile(report), QByteArray("current\n"));
}

void TestExecExternal::isExecExternal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("expected");

    QTest::newRow("executable file") << "yes.sh" << true << true;
    QTest::newRow("missing file") << "" << true << false;
    QTest::newRow("not executable") << "no.sh" << false << false;
}

void TestExecExternal::isExecExternal()
{
    QFETCH(QString, name);
    QFETCH(bool, executable);
    QFETCH(bool, expected);

    const QString marker = m_dir.filePath(QStringLiteral("ran"));
    const QString path = name.isEmpty()
            ? m_dir.filePath(QStringLiteral("absent.sh"))
            : writeProgram(name, "#!/bin/sh\ntouch \"" + marker.toUtf8() + "\"\n", executable);
    const QVariant answer = m_page.eval(
            QStringLiteral("__covrelBridge.isExecExternal(%1, [], %2)").arg(literal(path), literal(m_dir.path())));
    QCOMPARE(answer, QVariant(expected));
    // Only a question: nothing reaches the page and nothing is started.
    QTest::qWait(0);
    QCOMPARE(m_page.received().size(), 0);
    QVERIFY(!QFile::exists(marker));
}

QTEST_MAIN(TestExecExternal)
#include "TestExecExternal.moc"
