#include "AppEnv.h"
#include "EventWait.h"
#include "PeakMemory.h"
#include "RegistryInstallation.h"
#include "TalqDorvData.h"
#include "TalqDorvProcess.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace RegistryInstallation;

// The provider against the real integration program and real H2 databases
// made here; stand-in executables only where a fault must be forced.
class TestTalqDorvData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void javaIsFoundBesideTheRegistry_data();
    void javaIsFoundBesideTheRegistry();
    void databaseIsFound_data();
    void databaseIsFound();
    void reasonCodes_data();
    void reasonCodes();
    void commandLine_data();
    void commandLine();

    void requests_data();
    void requests();
    void errorTextWithQuotesStaysIntact();
    void stopKillsTheProgramAndStartRunsAFreshOne();

    void startFailures_data();
    void startFailures();
    void programDyingMidRequest();
    void programSilentAfterRequest();
    void floodingProgramKeepsMemoryFlat_data();
    void floodingProgramKeepsMemoryFlat();
    void lockedDatabase();

private:
    QString validHome();
    QJsonObject fetch(TalqDorv::Data &data, const QString &kind, int number);

    QTemporaryDir m_dir;
};

void TestTalqDorvData::initTestCase()
{
    QVERIFY2(QFileInfo::exists(jarPath()), qPrintable(jarPath()));
    QVERIFY2(!systemJava().isEmpty(), "java is not installed");
}

void TestTalqDorvData::init() { AppEnv::resetToDefaults(); }

QString TestTalqDorvData::validHome()
{
    static int count = 0;
    const QString home = m_dir.filePath(QStringLiteral("home%1/registry").arg(++count));
    const QString failure = make(home);
    if (!failure.isEmpty())
        qFatal("%s", qPrintable(failure));
    return home;
}

void TestTalqDorvData::javaIsFoundBesideTheRegistry_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("expectedJava");
    QTest::newRow("jre7 first") << QStringList{"jre7/bin/java.exe", "jre/bin/java"} << "jre7/bin/java.exe";
    QTest::newRow("jre java.exe") << QStringList{"jre/bin/java.exe", "jre/bin/java"} << "jre/bin/java.exe";
    QTest::newRow("jre java") << QStringList{"jre/bin/java", "jre/bin/java.sh"} << "jre/bin/java";
    QTest::newRow("jre java.sh") << QStringList{"jre/bin/java.sh"} << "jre/bin/java.sh";
    QTest::newRow("jre7 without java.exe is no java home") << QStringList{"jre7/bin/java"} << QString();
    QTest::newRow("nothing") << QStringList{"dorv.exe"} << QString();
}

void TestTalqDorvData::javaIsFoundBesideTheRegistry()
{
    QFETCH(QStringList, files);
    QFETCH(QString, expectedJava);
    QTemporaryDir home;
    touch(home.path(), files);
    AppEnv::setTalqDorvHomeDirPath(home.path());
    TalqDorv::Data data(nullptr);
    QCOMPARE(data.getJavaExePath(), expectedJava.isEmpty() ? QString() : home.filePath(expectedJava));

    // A configured Java home wins over the registry's own, checked or not.
    QTemporaryDir javaHome;
    touch(javaHome.path(), {QStringLiteral("bin/java.sh")});
    AppEnv::setJavaHomeDirPath(javaHome.path());
    QCOMPARE(data.getJavaExePath(), javaHome.filePath(QStringLiteral("bin/java.sh")));
}

void TestTalqDorvData::databaseIsFound_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("expected");
    QTest::newRow("DB first") << QStringList{"DB.mv.db", "db.mv.db"} << QString() << "DB.mv.db";
    QTest::newRow("lower case") << QStringList{"db.mv.db"} << QString() << "db.mv.db";
    QTest::newRow("none") << QStringList{"dorv.exe"} << QString() << QString();
    QTest::newRow("setting unchecked, slashes turned") << QStringList{"DB.mv.db"} << "C:\\reg\\other.mv.db"
                                                       << "C:/reg/other.mv.db";
}

void TestTalqDorvData::databaseIsFound()
{
    QFETCH(QStringList, files);
    QFETCH(QString, setting);
    QFETCH(QString, expected);
    QTemporaryDir home;
    touch(home.path(), files);
    AppEnv::setTalqDorvHomeDirPath(home.path());
    AppEnv::setTalqDorvDbPath(setting);
    TalqDorv::Data data(nullptr);
    const QString expectedPath = (expected.isEmpty() || !setting.isEmpty()) ? expected : home.filePath(expected);
    QCOMPARE(data.getTalqDorvDbPath(), expectedPath);
}

void TestTalqDorvData::reasonCodes_data()
{
    QTest::addColumn<QString>("home"); // "", "missing", "empty" or "full"
    QTest::addColumn<bool>("javaSetting");
    QTest::addColumn<QString>("dbSetting"); // "", "existing" or "missing"
    QTest::addColumn<QString>("code");
    QTest::newRow("nothing set") << "" << false << ""
                                 << "talq_dorv_home_dir_not_set";
    QTest::newRow("home missing") << "missing" << false << ""
                                  << "talq_dorv_home_dir_not_set";
    QTest::newRow("home missing, only java") << "missing" << true << ""
                                             << "talq_dorv_home_dir_not_set";
    QTest::newRow("home missing, only db") << "missing" << false << "existing"
                                           << "talq_dorv_home_dir_not_set";
    QTest::newRow("no home, java and db set") << "" << true << "existing"
                                              << "";
    QTest::newRow("no home, db set but missing") << "" << true << "missing"
                                                 << "talq_dorv_db_not_found";
    QTest::newRow("home without db") << "empty" << false << ""
                                     << "talq_dorv_db_not_set";
    QTest::newRow("home without java is enough") << "full" << false << ""
                                                 << "";
    QTest::newRow("home, db setting missing") << "full" << false << "missing"
                                              << "talq_dorv_db_not_found";
}

void TestTalqDorvData::reasonCodes()
{
    QFETCH(QString, home);
    QFETCH(bool, javaSetting);
    QFETCH(QString, dbSetting);
    QFETCH(QString, code);
    QTemporaryDir dir;
    if (home == QLatin1String("missing"))
        AppEnv::setTalqDorvHomeDirPath(dir.filePath(QStringLiteral("nowhere")));
    if (home == QLatin1String("empty") || home == QLatin1String("full"))
        AppEnv::setTalqDorvHomeDirPath(dir.path());
    if (home == QLatin1String("full"))
        touch(dir.path(), {QStringLiteral("dorv.exe"), QStringLiteral("DB.mv.db")});
    if (javaSetting) {
        touch(dir.path(), {QStringLiteral("java/bin/java")});
        AppEnv::setJavaHomeDirPath(dir.filePath(QStringLiteral("java")));
    }
    if (dbSetting == QLatin1String("existing")) {
        touch(dir.path(), {QStringLiteral("elsewhere/data.mv.db")});
        AppEnv::setTalqDorvDbPath(dir.filePath(QStringLiteral("elsewhere/data.mv.db")));
    }
    if (dbSetting == QLatin1String("missing"))
        AppEnv::setTalqDorvDbPath(dir.filePath(QStringLiteral("elsewhere/gone.mv.db")));

    TalqDorv::Data data(nullptr);
    QCOMPARE(data.reasonCodeIfCannotRun(), code);
    QCOMPARE(data.reasonCodeIfCannotRun().isNull(), code.isEmpty());
    QCOMPARE(data.canRun(), code.isEmpty());
}

void TestTalqDorvData::commandLine_data()
{
    QTest::addColumn<QString>("dbSetting");
    QTest::addColumn<QString>("expectedDbArgument");
    QTest::newRow("forward slashes") << "C:/reg/DB.mv.db" << TalqDorv::Process::nativePath("C:/reg/DB");
    QTest::newRow("ending in other case") << "/data/data.MV.DB" << TalqDorv::Process::nativePath("/data/data");
    QTest::newRow("backslashes") << "D:\\x\\DB.mv.db" << TalqDorv::Process::nativePath("D:/x/DB");
}

void TestTalqDorvData::commandLine()
{
    QFETCH(QString, dbSetting);
    QFETCH(QString, expectedDbArgument);
    QTemporaryDir home;
    touch(home.path(), {QStringLiteral("jre/bin/java"), QStringLiteral("jre/bin/java.sh")});
    AppEnv::setTalqDorvHomeDirPath(home.path());
    AppEnv::setTalqDorvDbPath(dbSetting);
    AppEnv::overrideApplicationDirPath(home.filePath(QStringLiteral("app")));
    TalqDorv::Data data(nullptr);
    TalqDorv::Process *process = data.buildProcess();
    QCOMPARE(process->program(), TalqDorv::Process::nativePath(home.filePath(QStringLiteral("jre/bin/java"))));
    const QStringList expected{
            QStringLiteral("-Dfile.encoding=UTF-8"), QStringLiteral("-jar"),
            TalqDorv::Process::nativePath(home.filePath(QStringLiteral("app/integrations/talqdorv/talqdorv.jar"))),
            QStringLiteral("-db"), expectedDbArgument};
    QCOMPARE(process->arguments(), expected);
    AppEnv::overrideApplicationDirPath(QString());
}

QJsonObject TestTalqDorvData::fetch(TalqDorv::Data &data, const QString &kind, int number)
{
    if (kind == QLatin1String("data"))
        return data.fetchDorvInfo(number).object();
    if (kind == QLatin1String("elections"))
        return data.fetchDorvElectionsInfo(number).object();
    if (kind == QLatin1String("members"))
        return data.fetchDorvMembersInfo(number).object();
    return data.fetchDorvAllInfo(number).object();
}

void TestTalqDorvData::requests_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("data") << "data" << 7
                          << QByteArray(
                                     R"({"number":7,"name":"Тестовый","address":"ул. Тестовая, 1","phone":"+7 111"})");
    QTest::newRow("elections") << "elections" << 7
                               << QByteArray(R"({"number":7,"elections":[)"
                                             R"({"title":"Выборы совета","date":"2020-01-02","voters":10},)"
                                             R"({"title":"Повторные","date":"2020-02-03","voters":12}]})");
    QTest::newRow("members") << "members" << 7
                             << QByteArray(R"({"number":7,"members":[)"
                                           R"({"fullName":"Иван Иванов","role":"член","phone":null},)"
                                           R"({"fullName":"Пётр Петров","role":"председатель","phone":"5"}]})");
    QTest::newRow("all, nothing attached") << "all" << 9
                                           << QByteArray(R"({"number":9,"name":"Пустой","address":"ул. Пустая, 9",)"
                                                         R"("phone":null,"elections":[],"members":[]})");
    QTest::newRow("unknown number") << "data" << 404 << QByteArray(R"({"error":"Dorv №404 не найден в реестре"})");
}

void TestTalqDorvData::requests()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QByteArray, expected);
    AppEnv::setTalqDorvJarPath(jarPath());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    QCOMPARE(fetch(data, kind, number), QJsonDocument::fromJson(expected).object());
    // The same program answers the next request too.
    QCOMPARE(fetch(data, kind, number), QJsonDocument::fromJson(expected).object());
}

void TestTalqDorvData::errorTextWithQuotesStaysIntact()
{
    AppEnv::setTalqDorvJarPath(jarPath());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    const QJsonDocument answer = data.fetchDorvInfo(8);
    QCOMPARE(answer.object().value(QStringLiteral("error")).toString(),
             QStringLiteral("Dorv №8 закрыт: слит с \"Тестовым\" по C:\\дела\\2\\"));
}

void TestTalqDorvData::stopKillsTheProgramAndStartRunsAFreshOne()
{
    AppEnv::setTalqDorvJarPath(jarPath());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    data.stop(); // nothing runs: harmless
    QVERIFY(!data.isStarted());
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    QVERIFY(data.isStarted());
    data.stop();
    QVERIFY(!data.isStarted());
    // The database is free again: a fresh program opens it.
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    QCOMPARE(data.fetchDorvInfo(7).object().value(QStringLiteral("name")).toString(), QStringLiteral("Тестовый"));
}

void TestTalqDorvData::startFailures_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("expectedStart");
    QTest::addColumn<QString>("expectedDetail");
    QTest::newRow("no java") << "noJava"
                             << "Не найдена программа java" << QString();
    QTest::newRow("java not executable") << "notExecutable"
                                         << "Не удалось запустить программу интеграции с TALQ DORV '"
                                         << "jre/bin/java";
    QTest::newRow("broken archive")
            << "brokenJar"
            << "Программа интеграции с TALQ DORV завершилась, не выдав приглашения к вводу (код выхода 1"
            << "Invalid or corrupt jarfile";
    QTest::newRow("database path wrong")
            << "missingDb"
            << "Программа интеграции с TALQ DORV завершилась, не выдав приглашения к вводу (код выхода 1"
            << "not found";
    QTest::newRow("never prompts") << "silent"
                                   << "Программа интеграции с TALQ DORV не выдала приглашения к вводу за 300 мс"
                                   << QString();
    QTest::newRow("killed before prompt")
            << "crash"
            << "Программа интеграции с TALQ DORV завершилась, не выдав приглашения к вводу (аварийное завершение"
            << "loading";
}

void TestTalqDorvData::startFailures()
{
    QFETCH(QString, cause);
    QFETCH(QString, expectedStart);
    QFETCH(QString, expectedDetail);
    AppEnv::setTalqDorvJarPath(jarPath());
    const QString home = validHome();
    AppEnv::setTalqDorvHomeDirPath(home);
    QTemporaryDir dir;
    if (cause == QLatin1String("noJava"))
        QVERIFY(QFile::remove(home + QStringLiteral("/jre/bin/java")));
    if (cause == QLatin1String("notExecutable")) {
        QVERIFY(QFile::remove(home + QStringLiteral("/jre/bin/java")));
        touch(home, {QStringLiteral("jre/bin/java")});
    }
    if (cause == QLatin1String("brokenJar")) {
        touch(dir.path(), {QStringLiteral("broken.jar")});
        AppEnv::setTalqDorvJarPath(dir.filePath(QStringLiteral("broken.jar")));
    }
    if (cause == QLatin1String("missingDb"))
        AppEnv::setTalqDorvDbPath(dir.filePath(QStringLiteral("DB.mv.db")));
    if (cause == QLatin1String("silent")) {
        writeFakeJava(dir.path(), "echo 'loading the registry'\nexec sleep 600");
        AppEnv::setJavaHomeDirPath(dir.path());
    }
    if (cause == QLatin1String("crash")) {
        writeFakeJava(dir.path(), "echo 'loading the registry' >&2\nkill -9 $$");
        AppEnv::setJavaHomeDirPath(dir.path());
    }

    TalqDorv::Data data(nullptr);
    // Only the silent program needs the limit; it never prompts, however long one waits.
    data.setWaitLimitMs(cause == QLatin1String("silent") ? 300 : TalqDorv::Data::DEFAULT_WAIT_LIMIT_MS);
    QVERIFY(!data.start());
    QVERIFY2(data.errorString().startsWith(expectedStart), qPrintable(data.errorString()));
    QVERIFY2(data.errorString().contains(expectedDetail), qPrintable(data.errorString()));
    QVERIFY(!data.isStarted());
    // A request without a running program fails at once with an error object.
    const QJsonObject answer = data.fetchDorvInfo(7).object();
    QCOMPARE(answer.value(QStringLiteral("error")).toString(),
             QStringLiteral("Программа интеграции с TALQ DORV не запущена"));
}

void TestTalqDorvData::programDyingMidRequest()
{
    QTemporaryDir dir;
    writeFakeJava(dir.path(),
                  "echo 'Please input a line'\nread request\necho \"got $request\"\n"
                  "printf 'OUTPUT: {\"half'\necho 'out of memory' >&2\nexit 3");
    AppEnv::setJavaHomeDirPath(dir.path());
    AppEnv::setTalqDorvJarPath(jarPath());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    const QJsonObject answer = data.fetchDorvInfo(7).object();
    QCOMPARE(answer.value(QStringLiteral("error")).toString(),
             QStringLiteral("Программа интеграции с TALQ DORV завершилась, не ответив на запрос (код выхода 3: out of "
                            "memory)"));
    QVERIFY(!data.isStarted());

    // With a working Java the next start is a fresh program that answers.
    AppEnv::setJavaHomeDirPath(QString());
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    QCOMPARE(data.fetchDorvInfo(7).object().value(QStringLiteral("number")).toInt(), 7);
}

void TestTalqDorvData::programSilentAfterRequest()
{
    QTemporaryDir dir;
    writeFakeJava(dir.path(), "echo 'Please input a line'\nread request\necho 'thinking'\nexec sleep 600");
    AppEnv::setJavaHomeDirPath(dir.path());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    data.setWaitLimitMs(300);
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    const QJsonObject answer = data.fetchDorvMembersInfo(7).object();
    QCOMPARE(answer.value(QStringLiteral("error")).toString(),
             QStringLiteral("Программа интеграции с TALQ DORV не ответила на запрос за 300 мс"));
    // Given up on and ended, so a late answer cannot be taken for the next request's.
    QVERIFY(!data.isStarted());
}

void TestTalqDorvData::floodingProgramKeepsMemoryFlat_data()
{
    QTest::addColumn<QByteArray>("fake"); // after its prompt
    QTest::addColumn<QString>("expected"); // the answer's number, or its error

    const QByteArray flood = "yes 'a line of the program' | head -c 268435456";
    QTest::newRow("endless line instead of the answer")
            << QByteArray("read r\nhead -c 268435456 /dev/zero\nexec sleep 600")
            << QStringLiteral("Программа интеграции с TALQ DORV выдала строку длиннее 16777216 байт");
    QTest::newRow("endless error output before the answer")
            << "read r\n" + flood + " >&2\necho 'OUTPUT: {\"number\": 7}'\nexec sleep 600" << QStringLiteral("7");
    QTest::newRow("endless lines between requests")
            << flood + "\n: > \"$0.flooded\"\nread r\necho 'OUTPUT: {\"number\": 7}'\nexec sleep 600"
            << QStringLiteral("7");
}

void TestTalqDorvData::floodingProgramKeepsMemoryFlat()
{
    QFETCH(QByteArray, fake);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString java = writeFakeJava(dir.path(), "echo 'Please input a line'\n" + fake);
    AppEnv::setJavaHomeDirPath(dir.path());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data data(nullptr);
    const PeakMemory memory;
    QVERIFY2(data.start(), qPrintable(data.errorString()));
    // Idle, the shell still reads what the program prints.
    if (fake.contains("flooded"))
        QVERIFY(waitUntil([&] { return QFileInfo::exists(java + QStringLiteral(".flooded")); }));

    const QJsonObject answer = data.fetchDorvInfo(7).object();
    const QString got = answer.contains(QStringLiteral("error"))
            ? answer.value(QStringLiteral("error")).toString()
            : QString::number(answer.value(QStringLiteral("number")).toInt());
    QCOMPARE(got, expected);
    qInfo("peak memory growth: %lld MiB", memory.growthMiB());
    // The line bound (16 MiB) and a read's worth, far below the 256 MiB printed.
    QVERIFY2(memory.growthMiB() < 48, qPrintable(QStringLiteral("memory grew by %1 MiB").arg(memory.growthMiB())));
}

void TestTalqDorvData::lockedDatabase()
{
    AppEnv::setTalqDorvJarPath(jarPath());
    AppEnv::setTalqDorvHomeDirPath(validHome());
    TalqDorv::Data first(nullptr);
    QVERIFY2(first.start(), qPrintable(first.errorString()));
    TalqDorv::Data second(nullptr);
    QVERIFY(!second.start());
    QVERIFY2(second.errorString().contains(QStringLiteral("Database may be already in use")),
             qPrintable(second.errorString()));
    first.stop();
    QVERIFY2(second.start(), qPrintable(second.errorString()));
}

QTEST_GUILESS_MAIN(TestTalqDorvData)
#include "TestTalqDorvData.moc"
