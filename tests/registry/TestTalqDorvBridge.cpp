#include "AnswerLimits.h"
#include "AppEnv.h"
#include "DialogService.h"
#include "MainWindow.h"
#include "PageHarness.h"
#include "RegistryInstallation.h"
#include "TalqDorvData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace RegistryInstallation;

namespace {

const QStringList ALL_SIGNALS{
        "getDorvInfoResult", "getDorvElectionInfoResult", "getDorvMemberInfoResult", "getDorvFullInfoResult",
        "getInfoError",      "setTalqDorvHomeDirResult",  "setTalqDorvHomeDirError", "stopProviderResult"};

// Answers the directory chooser as a user would, and remembers where it opened.
class RegistryDialogs : public DialogService
{
public:
    QString answer;
    QStringList openedOn;

    QString getExistingDirectory(QWidget *, const QString &, const QString &dir, Links = Links::Resolve) override
    {
        openedOn << dir;
        return answer;
    }
};

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

QByteArray readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

// The registry bridge as the page meets it: page script calls talqDorvBridge
// on a real page and reads the signals it receives; the answers come from the
// real integration program over databases made here.
class TestTalqDorvBridge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void requestsFromThePage_data();
    void requestsFromThePage();
    void errorTextWithQuotesReachesThePageAsError();
    void requestWhileDisabledIsRefusedAtOnce_data();
    void requestWhileDisabledIsRefusedAtOnce();
    void programDyingMidRequestIsAnErrorAndTheNextStartsAfresh();
    void stopProviderAnswersAndTheNextRequestRestarts();
    void longRecords_data();
    void longRecords();

    void setHomeDir_data();
    void setHomeDir();
    void homeDirFromTheDialog();
    void cancelledDialog();

    void demoPanelLooksUpAUnit();

private:
    // Opens a page whose installation holds the integration archive.
    void openPage(PageHarness &page);
    QVariant call(PageHarness &page, const QString &script);

    QTemporaryDir m_dir;
};

void TestTalqDorvBridge::initTestCase()
{
    QVERIFY2(QFile::exists(jarPath()), qPrintable(jarPath()));
    QVERIFY2(!systemJava().isEmpty(), "java is not installed");
}

void TestTalqDorvBridge::openPage(PageHarness &page)
{
    QDir().mkpath(page.path(QStringLiteral("integrations/talqdorv")));
    QVERIFY(QFile::link(jarPath(), page.path(QStringLiteral("integrations/talqdorv/talqdorv.jar"))));
    QVERIFY(page.open());
    page.record(QStringLiteral("__covrelBridge.talqDorvBridge"), ALL_SIGNALS);
}

QVariant TestTalqDorvBridge::call(PageHarness &page, const QString &script)
{
    return page.eval(QStringLiteral("(function (b) { return %1; })(__covrelBridge.talqDorvBridge)").arg(script));
}

void TestTalqDorvBridge::requestsFromThePage_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("resultSignal");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("getDorvInfo")
            << "getDorvInfo"
            << "getDorvInfoResult"
            << QByteArray(R"({"number":7,"name":"Тестовый","address":"ул. Тестовая, 1","phone":"+7 111"})");
    QTest::newRow("getDorvElectionInfo")
            << "getDorvElectionInfo"
            << "getDorvElectionInfoResult"
            << QByteArray(R"({"number":7,"elections":[{"title":"Выборы совета","date":"2020-01-02","voters":10},)"
                          R"({"title":"Повторные","date":"2020-02-03","voters":12}]})");
    QTest::newRow("getDorvMemberInfo")
            << "getDorvMemberInfo"
            << "getDorvMemberInfoResult"
            << QByteArray(R"({"number":7,"members":[{"fullName":"Иван Иванов","role":"член","phone":null},)"
                          R"({"fullName":"Пётр Петров","role":"председатель","phone":"5"}]})");
    QTest::newRow("getDorvFullInfo")
            << "getDorvFullInfo"
            << "getDorvFullInfoResult"
            << QByteArray(R"({"number":7,"name":"Тестовый","address":"ул. Тестовая, 1","phone":"+7 111",)"
                          R"("elections":[{"title":"Выборы совета","date":"2020-01-02","voters":10},)"
                          R"({"title":"Повторные","date":"2020-02-03","voters":12}],)"
                          R"("members":[{"fullName":"Иван Иванов","role":"член","phone":null},)"
                          R"({"fullName":"Пётр Петров","role":"председатель","phone":"5"}]})");
}

void TestTalqDorvBridge::requestsFromThePage()
{
    QFETCH(QString, slot);
    QFETCH(QString, resultSignal);
    QFETCH(QByteArray, expected);
    PageHarness page;
    openPage(page);
    AppEnv::setTalqDorvHomeDirPath(m_dir.filePath(QStringLiteral("requests-%1").arg(slot)));
    QCOMPARE(make(AppEnv::getTalqDorvHomeDirPath()), QString());
    QCOMPARE(call(page, QStringLiteral("b.isEnabled()")).toBool(), true);
    QCOMPARE(call(page, QStringLiteral("b.disabledReasonCode()")).toString(), QString());

    // Answered before the call returns, twice from the same program.
    call(page, QStringLiteral("b.%1('first', 7)").arg(slot));
    call(page, QStringLiteral("b.%1('second', 7)").arg(slot));
    const QList<QVariantList> results = page.received(resultSignal);
    QCOMPARE(results.size(), 2);
    const QByteArray compact = QJsonDocument::fromJson(expected).toJson(QJsonDocument::Compact);
    QCOMPARE(results.at(0), (QVariantList{"first", 7, QString::fromUtf8(compact)}));
    QCOMPARE(results.at(1), (QVariantList{"second", 7, QString::fromUtf8(compact)}));
    QCOMPARE(page.received().size(), 2);
}

void TestTalqDorvBridge::errorTextWithQuotesReachesThePageAsError()
{
    PageHarness page;
    openPage(page);
    AppEnv::setTalqDorvHomeDirPath(m_dir.filePath(QStringLiteral("quotes")));
    QCOMPARE(make(AppEnv::getTalqDorvHomeDirPath()), QString());
    call(page, QStringLiteral("b.getDorvInfo('q', 8)"));
    call(page, QStringLiteral("b.getDorvFullInfo('missing', 404)"));
    const QList<QVariantList> errors = page.received(QStringLiteral("getInfoError"));
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.at(0), (QVariantList{"q", 8, "Dorv №8 закрыт: слит с \"Тестовым\" по C:\\дела\\2\\"}));
    QCOMPARE(errors.at(1), (QVariantList{"missing", 404, "Dorv №404 не найден в реестре"}));
    QCOMPARE(page.received().size(), 2);
}

void TestTalqDorvBridge::requestWhileDisabledIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("homeSetting"); // "" or "missing" or "noDb"
    QTest::addColumn<QString>("code");
    QTest::newRow("no home") << ""
                             << "talq_dorv_home_dir_not_set";
    QTest::newRow("home missing") << "missing"
                                  << "talq_dorv_home_dir_not_set";
    QTest::newRow("home without database") << "noDb"
                                           << "talq_dorv_db_not_set";
}

void TestTalqDorvBridge::requestWhileDisabledIsRefusedAtOnce()
{
    QFETCH(QString, homeSetting);
    QFETCH(QString, code);
    PageHarness page;
    openPage(page);
    QTemporaryDir dir;
    // A Java that would leave a trace if anything started it.
    writeFakeJava(dir.path(), "touch \"$0.started\"\necho 'Please input a line'\nexec sleep 600");
    AppEnv::setJavaHomeDirPath(dir.path());
    if (homeSetting == QLatin1String("missing"))
        AppEnv::setTalqDorvHomeDirPath(dir.filePath(QStringLiteral("gone")));
    if (homeSetting == QLatin1String("noDb")) {
        AppEnv::setTalqDorvHomeDirPath(dir.path());
        touch(dir.path(), {QStringLiteral("dorv.exe")});
    }
    QCOMPARE(call(page, QStringLiteral("b.isEnabled()")).toBool(), false);
    QCOMPARE(call(page, QStringLiteral("b.disabledReasonCode()")).toString(), code);
    call(page, QStringLiteral("b.getDorvMemberInfo('d', 3)"));
    QCOMPARE(page.received(QStringLiteral("getInfoError")),
             (QList<QVariantList>{
                     {"d", 3, QStringLiteral("Интеграция с TALQ DORV недоступна, код причины: %1").arg(code)}}));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bin/java.started"))));
}

void TestTalqDorvBridge::programDyingMidRequestIsAnErrorAndTheNextStartsAfresh()
{
    PageHarness page;
    openPage(page);
    AppEnv::setTalqDorvHomeDirPath(m_dir.filePath(QStringLiteral("dying")));
    QCOMPARE(make(AppEnv::getTalqDorvHomeDirPath()), QString());
    QTemporaryDir dir;
    writeFakeJava(dir.path(), "echo 'Please input a line'\nread request\nexit 4");
    AppEnv::setJavaHomeDirPath(dir.path());
    call(page, QStringLiteral("b.getDorvInfo('dies', 7)"));
    QCOMPARE(
            page.received(QStringLiteral("getInfoError")),
            (QList<QVariantList>{
                    {"dies", 7, "Программа интеграции с TALQ DORV завершилась, не ответив на запрос (код выхода 4)"}}));

    // Java back in order: the next request starts the real program.
    AppEnv::setJavaHomeDirPath(QString());
    call(page, QStringLiteral("b.getDorvInfo('again', 9)"));
    const QList<QVariantList> results = page.received(QStringLiteral("getDorvInfoResult"));
    QCOMPARE(results.size(), 1);
    QCOMPARE(results.at(0).at(0).toString(), QStringLiteral("again"));
    QVERIFY(results.at(0).at(2).toString().contains(QStringLiteral("\"name\":\"Пустой\"")));
}

void TestTalqDorvBridge::longRecords_data()
{
    QTest::addColumn<int>("chars");
    QTest::addColumn<bool>("delivered");
    // Long enough to need a collection first, several in a row; then past what the engine carries.
    QTest::newRow("1 M characters, five times") << 1024 * 1024 << true;
    QTest::newRow("9 M characters") << 9 * 1024 * 1024 << false;
}

void TestTalqDorvBridge::longRecords()
{
    QFETCH(int, chars);
    QFETCH(bool, delivered);
    PageHarness page;
    openPage(page);
    AppEnv::setTalqDorvHomeDirPath(m_dir.filePath(QStringLiteral("long-%1").arg(chars)));
    QCOMPARE(make(AppEnv::getTalqDorvHomeDirPath()), QString());
    QTemporaryDir dir;
    writeFakeJava(dir.path(),
                  QStringLiteral("echo 'Please input a line'\n"
                                 "while read request; do\n"
                                 "  printf 'OUTPUT: {\"number\":7,\"text\":\"'\n"
                                 "  head -c %1 /dev/zero | tr '\\0' a\n"
                                 "  echo '\"}'\n"
                                 "done\n")
                          .arg(chars)
                          .toUtf8());
    AppEnv::setJavaHomeDirPath(dir.path());
    const int calls = delivered ? 5 : 1;
    for (int i = 0; i < calls; ++i)
        call(page, QStringLiteral("b.getDorvInfo('r%1', 7)").arg(i));
    const QList<QVariantList> results = page.received(QStringLiteral("getDorvInfoResult"));
    const QList<QVariantList> errors = page.received(QStringLiteral("getInfoError"));
    if (!delivered) {
        QVERIFY(results.isEmpty());
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QStringLiteral("r0"));
        QVERIFY(errors.at(0).at(2).toString().contains(QString::number(AnswerLimits::MAX_ANSWER_CHARS)));
        return;
    }
    QVERIFY(errors.isEmpty());
    QCOMPARE(results.size(), calls);
    for (int i = 0; i < calls; ++i) {
        QCOMPARE(results.at(i).at(0).toString(), QStringLiteral("r%1").arg(i));
        QVERIFY(results.at(i).at(2).toString().size() > chars);
    }
}

void TestTalqDorvBridge::stopProviderAnswersAndTheNextRequestRestarts()
{
    PageHarness page;
    openPage(page);
    const QString home = m_dir.filePath(QStringLiteral("stop"));
    AppEnv::setTalqDorvHomeDirPath(home);
    QCOMPARE(make(home), QString());
    call(page, QStringLiteral("b.stopProvider('idle')")); // nothing runs yet
    call(page, QStringLiteral("b.getDorvInfo('a', 7)"));
    call(page, QStringLiteral("b.stopProvider('running')"));
    // The stopped program let go of its database: another program can open it.
    TalqDorv::Data other(nullptr);
    QVERIFY2(other.start(), qPrintable(other.errorString()));
    other.stop();
    call(page, QStringLiteral("b.getDorvInfo('b', 7)"));
    QCOMPARE(page.received(QStringLiteral("stopProviderResult")), (QList<QVariantList>{{"idle"}, {"running"}}));
    const QList<QVariantList> results = page.received(QStringLiteral("getDorvInfoResult"));
    QCOMPARE(results.size(), 2);
    QCOMPARE(results.at(1).at(0).toString(), QStringLiteral("b"));
    QVERIFY(page.received(QStringLiteral("getInfoError")).isEmpty());
}

void TestTalqDorvBridge::setHomeDir_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<QString>("dbName");
    QTest::addColumn<QString>("given"); // relative to the installation; "<missing>" or "<empty>"
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("messages"); // %1 stands for the directory
    QTest::addColumn<QStringList>("codes");
    const int dorvAndDb = DorvExe | Database;
    QTest::newRow("valid directory") << dorvAndDb << "DB.mv.db"
                                     << "" << true << QStringList() << QStringList();
    QTest::newRow("file inside it") << dorvAndDb << "DB.mv.db"
                                    << "dorv.exe" << true << QStringList() << QStringList();
    QTest::newRow("only db.mv.db") << dorvAndDb << "db.mv.db"
                                   << "" << true << QStringList() << QStringList();
    QTest::newRow("no dorv.exe") << int(Database) << "DB.mv.db"
                                 << "" << false << QStringList{"В директории '%1' нет файла dorv.exe."}
                                 << QStringList{"incorrect_dir"};
    QTest::newRow("no database") << int(DorvExe) << "DB.mv.db"
                                 << "" << false << QStringList{"В директории '%1' нет файла базы 'DB.mv.db'."}
                                 << QStringList{"file_db_not_found"};
    QTest::newRow("both missing") << 0 << "DB.mv.db"
                                  << "" << false
                                  << QStringList{"В директории '%1' нет файла dorv.exe.",
                                                 "В директории '%1' нет файла базы 'DB.mv.db'."}
                                  << QStringList{"incorrect_dir", "file_db_not_found"};
    QTest::newRow("missing directory") << dorvAndDb << "DB.mv.db"
                                       << "<missing>" << false << QStringList{"Директория '%1' не существует."}
                                       << QStringList{"directory_not_found"};
    QTest::newRow("empty path") << dorvAndDb << "DB.mv.db"
                                << "<empty>" << false << QStringList{"Директория '%1' не существует."}
                                << QStringList{"directory_not_found"};
}

void TestTalqDorvBridge::setHomeDir()
{
    QFETCH(int, parts);
    QFETCH(QString, dbName);
    QFETCH(QString, given);
    QFETCH(bool, accepted);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, codes);
    PageHarness page;
    openPage(page);
    QTemporaryDir dir;
    const QString install = dir.filePath(QStringLiteral("registry"));
    QCOMPARE(make(install, parts, RECORDS, dbName), QString());

    QString homeDir = given.isEmpty() ? install : install + QLatin1Char('/') + given;
    QString reported = native(install);
    if (given == QLatin1String("<missing>"))
        homeDir = reported = native(dir.filePath(QStringLiteral("nowhere")));
    if (given == QLatin1String("<empty>"))
        homeDir = reported = QString();
    page.eval(QStringLiteral("window.homeDir = %1")
                      .arg(QString::fromUtf8(QJsonDocument(QJsonArray{homeDir}).toJson()) + QStringLiteral("[0]")));
    call(page, QStringLiteral("b.setTalqDorvHomeDir('h', window.homeDir)"));

    if (accepted) {
        QCOMPARE(page.received(QStringLiteral("setTalqDorvHomeDirResult")), (QList<QVariantList>{{"h", reported}}));
        QCOMPARE(AppEnv::getTalqDorvHomeDirPath(), reported);
        QCOMPARE(call(page, QStringLiteral("b.isEnabled()")).toBool(), true);
        return;
    }
    QStringList expectedMessages;
    for (const QString &message : messages)
        expectedMessages << message.arg(reported);
    const QList<QVariantList> errors = page.received(QStringLiteral("setTalqDorvHomeDirError"));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.at(0).mid(0, 3), (QVariantList{"h", reported, expectedMessages.join('\n')}));
    QStringList gotCodes = errors.at(0).at(3).toString().split('\n');
    gotCodes.sort();
    codes.sort();
    QCOMPARE(gotCodes, codes);
    QCOMPARE(AppEnv::getTalqDorvHomeDirPath(), QString());
}

void TestTalqDorvBridge::homeDirFromTheDialog()
{
    PageHarness page;
    openPage(page);
    const QString install = m_dir.filePath(QStringLiteral("chosen"));
    QCOMPARE(make(install, DorvExe | Database), QString());
    RegistryDialogs dialogs;
    dialogs.answer = install;
    DialogService::install(&dialogs);
    call(page, QStringLiteral("b.changeTalqDorvHomeDir('pick')"));
    DialogService::install(nullptr);
    QCOMPARE(dialogs.openedOn, QStringList{AppEnv::getApplicationDirPath()});
    QCOMPARE(page.received(QStringLiteral("setTalqDorvHomeDirResult")),
             (QList<QVariantList>{{"pick", native(install)}}));
    QCOMPARE(AppEnv::getTalqDorvHomeDirPath(), native(install));
}

void TestTalqDorvBridge::cancelledDialog()
{
    PageHarness page;
    openPage(page);
    RegistryDialogs dialogs; // answers nothing: the user cancelled
    DialogService::install(&dialogs);
    call(page, QStringLiteral("b.changeTalqDorvHomeDir('pick')"));
    DialogService::install(nullptr);
    QCOMPARE(dialogs.openedOn.size(), 1);
    QCOMPARE(page.received(QStringLiteral("setTalqDorvHomeDirError")),
             (QList<QVariantList>{{"pick", "", "Отмена выбора", "dirSelectionRejected"}}));
}

// The demo page as shipped, with a registry installation where the build
// lays out its sample: the panel's buttons drive the promise client.
void TestTalqDorvBridge::demoPanelLooksUpAUnit()
{
    PageHarness page;
    const QDir shipped(qEnvironmentVariable("COVREL_SOURCE_DIR") + QStringLiteral("/content"));
    for (const QString &relative : {QStringLiteral("index.html"), QStringLiteral("css/demo.css")})
        page.writeContentFile(relative, readAll(shipped.filePath(relative)));
    for (const QFileInfo &script : QDir(shipped.filePath(QStringLiteral("js"))).entryInfoList({"*.js"}))
        page.writeContentFile(QStringLiteral("js/") + script.fileName(), readAll(script.filePath()));
    QCOMPARE(make(page.path(QStringLiteral("integrations/talqdorv/sample-registry"))), QString());
    openPage(page);
    QCOMPARE(page.eval(QStringLiteral("document.getElementById('registryState').textContent")).toString(),
             QStringLiteral("Интеграция недоступна: talq_dorv_home_dir_not_set"));

    page.eval(QStringLiteral("document.getElementById('registrySample').click()"));
    QVERIFY(QTest::qWaitFor([&] {
        return page.eval(QStringLiteral("document.getElementById('registryState').className")).toString() == "ok";
    }));
    QCOMPARE(page.eval(QStringLiteral("document.getElementById('registryHome').textContent")).toString(),
             native(page.path(QStringLiteral("integrations/talqdorv/sample-registry"))));

    page.eval(QStringLiteral("document.getElementById('registryNumber').value = '7';"
                             "document.getElementById('registryLookup').click()"));
    const QString record = QStringLiteral("document.getElementById('registryRecord').textContent");
    QVERIFY(QTest::qWaitFor([&] { return !page.eval(record).toString().isEmpty(); }));
    const QString shown = page.eval(record).toString();
    for (const QString &text : {QStringLiteral("«Тестовый»"), QStringLiteral("ул. Тестовая, 1"),
                                QStringLiteral("Повторные"), QStringLiteral("Пётр Петров")})
        QVERIFY2(shown.contains(text), qPrintable(shown));

    page.eval(QStringLiteral("document.getElementById('registryNumber').value = '8';"
                             "document.getElementById('registryLookup').click()"));
    const QString status = QStringLiteral("document.getElementById('registryStatus').textContent");
    QVERIFY(QTest::qWaitFor([&] { return page.eval(status).toString().startsWith(QStringLiteral("Dorv")); }));
    QCOMPARE(page.eval(status).toString(), QStringLiteral("Dorv №8 закрыт: слит с \"Тестовым\" по C:\\дела\\2\\"));
    // A picture of the panel for a person to look at, when asked for.
    if (!qEnvironmentVariableIsEmpty("COVREL_REGISTRY_SHOT")) {
        page.window()->resize(1400, 900);
        page.eval(QStringLiteral("document.getElementById('registryNumber').value = '7';"
                                 "document.getElementById('registryLookup').click();"
                                 "document.getElementById('panel-registry').scrollIntoView()"));
        QTest::qWait(200);
        page.window()->grab().save(qEnvironmentVariable("COVREL_REGISTRY_SHOT"));
    }
}

QTEST_MAIN(TestTalqDorvBridge)
#include "TestTalqDorvBridge.moc"
