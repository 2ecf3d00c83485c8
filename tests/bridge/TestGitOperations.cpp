#include "GitHttpsServer.h"
#include "PageHarness.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// The git slots of __covrelBridge, called from a real page, against a real git
// client and repositories served over HTTPS with basic authentication.
// The machine has no git identity and a credential helper that would store
// passwords, and askpass programs that would answer: none of it may be used.
class TestGitOperations : public QObject
{
    Q_OBJECT
public:
    static const QString LOGIN;
    static const QString PASSWORD;

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkGitVersion_data();
    void checkGitVersion();
    void clone_data();
    void clone();
    void refusedBeforeGit_data();
    void refusedBeforeGit();
    void pull_data();
    void pull();
    void commitAndPush_data();
    void commitAndPush();
    void pushThatNeverEnds();

private:
    QVariant call(const QString &method, const QStringList &arguments);
    QString newRepository();
    QString workingCopyOf(const QString &repository);
    QString encodedCredentialsUrl(const QString &repository) const;
    QStringList remoteFiles(const QString &repository) const;
    QString remoteHead(const QString &repository, const QString &format) const;
    bool commitLocally(const QString &workingCopy, const QString &fileName, const QByteArray &content);

    QTemporaryDir m_root;
    QScopedPointer<PageHarness> m_page;
    QScopedPointer<GitHttpsServer> m_server;
    QScopedPointer<QTemporaryDir> m_cwd;
    int m_repositoryCount = 0;
};

// Every character that has a meaning in an address.
const QString TestGitOperations::LOGIN = QStringLiteral("ko:l@ya/%");
const QString TestGitOperations::PASSWORD = QStringLiteral("pa:s@s/%w");

namespace {

QStringList *g_logLines = nullptr;
QtMessageHandler g_previousHandler = nullptr;

void recordLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (g_logLines)
        g_logLines->append(message);
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

const QStringList GIT_SIGNALS{QStringLiteral("checkGitVersionFinished"),  QStringLiteral("checkGitVersionError"),
                              QStringLiteral("gitCloneFinished"),         QStringLiteral("gitCloneError"),
                              QStringLiteral("gitPullFinished"),          QStringLiteral("gitPullError"),
                              QStringLiteral("gitCommitAndPushFinished"), QStringLiteral("gitCommitAndPushError")};

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0
            && file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

// git's own messages name the address without its credentials.
static bool showsPassword(const QString &text)
{
    return text.contains(TestGitOperations::PASSWORD)
            || text.contains(QString::fromLatin1(QUrl::toPercentEncoding(TestGitOperations::PASSWORD)));
}

void TestGitOperations::initTestCase()
{
    QVERIFY(m_root.isValid());
    const QString home = m_root.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", home.toUtf8());
    qputenv("GIT_CONFIG_NOSYSTEM", "1");
    qputenv("LC_ALL", "C");
    QVERIFY(TestFiles::writeFile(home + QStringLiteral("/.gitconfig"), "[credential]\n\thelper = store\n"));
    const QString askpass = m_root.filePath(QStringLiteral("askpass.sh"));
    QVERIFY(writeScript(
            askpass, "echo \"$0 $*\" >> \"" + m_root.filePath(QStringLiteral("asked")).toUtf8() + "\"\necho leaked\n"));
    qputenv("GIT_ASKPASS", askpass.toUtf8());
    qputenv("SSH_ASKPASS", askpass.toUtf8());

    m_server.reset(new GitHttpsServer(m_root.filePath(QStringLiteral("server")), LOGIN, PASSWORD));
    QDir().mkpath(m_root.filePath(QStringLiteral("server")));
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    qputenv("GIT_SSL_CAINFO", m_server->certificatePath().toUtf8());
    // Every command line git runs, its helpers' included, lands here.
    qputenv("GIT_TRACE", m_root.filePath(QStringLiteral("trace")).toUtf8());

    m_page.reset(new PageHarness);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge"), GIT_SIGNALS);

    g_logLines = new QStringList;
    g_previousHandler = qInstallMessageHandler(recordLogLine);
}

void TestGitOperations::init()
{
    m_page->clearReceived();
    g_logLines->clear();
    m_cwd.reset(new QTemporaryDir);
    QVERIFY(QDir::setCurrent(m_cwd->path()));
}

void TestGitOperations::cleanup()
{
    QVERIFY(QDir::setCurrent(m_root.path()));
    for (const QString &line : qAsConst(*g_logLines))
        QVERIFY2(!showsPassword(line), qPrintable(QStringLiteral("password logged: ") + line));
    QFile trace(m_root.filePath(QStringLiteral("trace")));
    const QString commandLines = trace.open(QIODevice::ReadOnly) ? QString::fromUtf8(trace.readAll()) : QString();
    trace.remove();
    QVERIFY2(!showsPassword(commandLines), "the password was on a command line of git");
    // Removed before judging, so one leak fails one test only.
    const bool asked = QFile::remove(m_root.filePath(QStringLiteral("asked")));
    const bool stored = QFile::remove(m_root.filePath(QStringLiteral("home/.git-credentials")));
    QVERIFY2(!asked, "an askpass program was asked for credentials");
    QVERIFY2(!stored, "a credential helper stored the password");
}

QVariant TestGitOperations::call(const QString &method, const QStringList &arguments)
{
    const QByteArray list = QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    return m_page->eval(
            QStringLiteral("__covrelBridge.%1(%2)").arg(method, QString::fromUtf8(list.mid(1, list.size() - 2))));
}

QString TestGitOperations::newRepository()
{
    const QString name = QStringLiteral("repo%1").arg(++m_repositoryCount);
    return m_server->createRepository(name) ? name : QString();
}

QString TestGitOperations::encodedCredentialsUrl(const QString &repository) const
{
    return m_server->url(repository)
            .replace(QStringLiteral("https://"),
                     QStringLiteral("https://%1:%2@")
                             .arg(QString::fromLatin1(QUrl::toPercentEncoding(LOGIN)),
                                  QString::fromLatin1(QUrl::toPercentEncoding(PASSWORD))));
}

// Clones the repository through the page into "wc"; the working copy is wc/<repository>.
QString TestGitOperations::workingCopyOf(const QString &repository)
{
    call(QStringLiteral("gitClone"),
         {QStringLiteral("setup"), m_server->url(repository), LOGIN, PASSWORD, QStringLiteral("wc"), QString()});
    if (m_page->received(QStringLiteral("gitCloneFinished")).size() != 1)
        return QString();
    m_page->clearReceived();
    return QStringLiteral("wc/") + repository;
}

QStringList TestGitOperations::remoteFiles(const QString &repository) const
{
    return GitHttpsServer::git(m_server->repositoryPath(repository),
                               {QStringLiteral("ls-tree"), QStringLiteral("--name-only"), QStringLiteral("master")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString TestGitOperations::remoteHead(const QString &repository, const QString &format) const
{
    return GitHttpsServer::git(m_server->repositoryPath(repository),
                               {QStringLiteral("log"), QStringLiteral("-1"), QStringLiteral("--format=") + format,
                                QStringLiteral("master")})
            .trimmed();
}

bool TestGitOperations::commitLocally(const QString &workingCopy, const QString &fileName, const QByteArray &content)
{
    return TestFiles::writeFile(workingCopy + QLatin1Char('/') + fileName, content)
            && !GitHttpsServer::git(workingCopy, {QStringLiteral("add"), QStringLiteral(".")}).isNull()
            && !GitHttpsServer::git(
                        workingCopy,
                        {QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("local")})
                        .isNull();
}

void TestGitOperations::checkGitVersion_data()
{
    QTest::addColumn<bool>("gitOnPath");
    QTest::addColumn<QString>("expectedSignal");
    QTest::addColumn<QString>("expectedText");

    QTest::newRow("installed") << true << "checkGitVersionFinished"
                               << "git version ";
    QTest::newRow("not installed") << false << "checkGitVersionError"
                                   << "Git-клиент не установлен";
}

void TestGitOperations::checkGitVersion()
{
    QFETCH(bool, gitOnPath);
    QFETCH(QString, expectedSignal);
    QFETCH(QString, expectedText);

    const QByteArray path = qgetenv("PATH");
    if (!gitOnPath)
        qputenv("PATH", m_cwd->path().toUtf8());
    call(QStringLiteral("checkGitVersion"), {QStringLiteral("v1")});
    qputenv("PATH", path);

    QCOMPARE(m_page->received().size(), 1);
    const QVariantList args = m_page->received(expectedSignal).value(0);
    QCOMPARE(args.value(0).toString(), QStringLiteral("v1"));
    QVERIFY2(args.value(1).toString().startsWith(expectedText), qPrintable(args.value(1).toString()));
}

void TestGitOperations::clone_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("repositoryExists");
    QTest::addColumn<QString>("branch");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QStringList>("expectedFiles");

    const QString none;
    QTest::newRow("credentials with : @ / %, default branch")
            << LOGIN << PASSWORD << true << none << none << QStringList{"readme.txt"};
    QTest::newRow("with a branch") << LOGIN << PASSWORD << true << "feature" << none
                                   << QStringList{"feature.txt", "readme.txt"};
    QTest::newRow("wrong password") << LOGIN << "pa:s@s/%x" << true << none << "Authentication failed" << QStringList();
    QTest::newRow("no credentials") << none << none << true << none << "fatal:" << QStringList();
    QTest::newRow("missing branch") << LOGIN << PASSWORD << true << "nosuch"
                                    << "nosuch" << QStringList();
    QTest::newRow("missing repository") << LOGIN << PASSWORD << false << none << "fatal:" << QStringList();
}

void TestGitOperations::clone()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, repositoryExists);
    QFETCH(QString, branch);
    QFETCH(QString, errorPart);
    QFETCH(QStringList, expectedFiles);

    const QString repository = repositoryExists ? newRepository() : QStringLiteral("absent");
    QVERIFY(!repository.isEmpty());
    call(QStringLiteral("gitClone"),
         {QStringLiteral("c1"), m_server->url(repository), login, password, QStringLiteral("wc"), branch});

    // Answered before the call returned, exactly once, with the address as the page gave it.
    QCOMPARE(m_page->received().size(), 1);
    const QString url = m_server->url(repository);
    const QString destPath = QDir::currentPath() + QStringLiteral("/wc");
    if (errorPart.isEmpty()) {
        QCOMPARE(m_page->received(QStringLiteral("gitCloneFinished")).value(0),
                 (QVariantList{QStringLiteral("c1"), url, destPath}));
        QDir clone(destPath + QLatin1Char('/') + repository);
        QCOMPARE(clone.entryList(QDir::Files, QDir::Name), expectedFiles);
        // The stored remote is the address alone.
        QCOMPARE(GitHttpsServer::git(clone.path(), {"remote", "get-url", "origin"}).trimmed(), url);
        QFile config(clone.filePath(QStringLiteral(".git/config")));
        QVERIFY(config.open(QIODevice::ReadOnly));
        QVERIFY(!showsPassword(QString::fromUtf8(config.readAll())));
        return;
    }
    const QVariantList args = m_page->received(QStringLiteral("gitCloneError")).value(0);
    QCOMPARE(args.mid(0, 3), (QVariantList{QStringLiteral("c1"), url, destPath}));
    const QString error = args.value(3).toString();
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    QVERIFY2(password.isEmpty() || !error.contains(password), qPrintable(error));
    QVERIFY2(!showsPassword(error), qPrintable(error));
}

void TestGitOperations::refusedBeforeGit_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("folderExists");
    QTest::addColumn<QString>("expectedSignal");
    QTest::addColumn<bool>("bareFolderName");
    QTest::addColumn<QString>("expectedError");
    QTest::addColumn<QString>("branch");

    const QString url = QStringLiteral("https://127.0.0.1:9/none.git");
    QTest::newRow("clone, empty address")
            << "gitClone"
            << "" << false << "gitCloneError" << true << "Не указан url репозитория для клонирования" << QString();
    QTest::newRow("clone, folder exists") << "gitClone" << url << true << "gitCloneError" << false
                                          << "Указанная папка для клонирования уже существует" << QString();
    QTest::newRow("pull, empty address") << "gitPull"
                                         << "" << true << "gitPullError" << true << "Не указан url репозитория"
                                         << QString();
    QTest::newRow("pull, folder missing")
            << "gitPull" << url << false << "gitPullError" << false << "Указанная папка не существует" << QString();
    QTest::newRow("commit, empty address")
            << "gitCommitAndPush"
            << "" << true << "gitCommitAndPushError" << true << "Не указан url репозитория" << QString();
    QTest::newRow("commit, folder missing") << "gitCommitAndPush" << url << false << "gitCommitAndPushError" << false
                                            << "Указанная папка не существует" << QString();
    // A word beginning with "-" would be an option to git, one that runs a command.
    const QString option = QStringLiteral("--upload-pack=touch ran;git-upload-pack");
    QTest::newRow("clone, address is an option") << "gitClone" << option << false << "gitCloneError" << false
                                                 << "Некорректный адрес репозитория" << QString();
    QTest::newRow("pull, address is an option")
            << "gitPull" << option << true << "gitPullError" << false << "Некорректный адрес репозитория" << QString();
    QTest::newRow("pull, branch is an option")
            << "gitPull" << url << true << "gitPullError" << false << "Некорректное имя ветки" << option;
}

void TestGitOperations::refusedBeforeGit()
{
    QFETCH(QString, method);
    QFETCH(QString, url);
    QFETCH(bool, folderExists);
    QFETCH(QString, expectedSignal);
    QFETCH(bool, bareFolderName);
    QFETCH(QString, expectedError);
    QFETCH(QString, branch);

    if (folderExists) {
        QVERIFY(QDir::current().mkdir(QStringLiteral("wc")));
        QVERIFY(TestFiles::writeFile(QStringLiteral("wc/kept.txt"), ""));
    }
    QStringList arguments{QStringLiteral("r1"),
                          url,
                          LOGIN,
                          PASSWORD,
                          QStringLiteral("wc"),
                          branch.isEmpty() ? QStringLiteral("x") : branch};
    if (method == QLatin1String("gitCommitAndPush"))
        arguments << QStringLiteral("y");
    call(method, arguments);

    QCOMPARE(m_page->received().size(), 1);
    const QString destPath = bareFolderName ? QStringLiteral("wc") : QDir::currentPath() + QStringLiteral("/wc");
    QCOMPARE(m_page->received(expectedSignal).value(0),
             (QVariantList{QStringLiteral("r1"), url, destPath, expectedError}));
    // git was not run: the folder holds what it held.
    const QStringList expectedEntries = folderExists ? QStringList{QStringLiteral("kept.txt")} : QStringList();
    QCOMPARE(QDir(QStringLiteral("wc")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             expectedEntries);
    QVERIFY(!QFileInfo::exists(QStringLiteral("ran")));
}

void TestGitOperations::pull_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("branch");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QStringList>("expectedFiles");

    const QString none;
    QTest::newRow("fast-forward") << "remote ahead" << PASSWORD << none << none
                                  << QStringList{"readme.txt", "remote.txt"};
    QTest::newRow("divergent branches merge")
            << "diverged" << PASSWORD << none << none << QStringList{"local.txt", "readme.txt", "remote.txt"};
    QTest::newRow("conflict") << "conflict" << PASSWORD << none << "CONFLICT" << QStringList{"readme.txt"};
    QTest::newRow("wrong password") << "remote ahead"
                                    << "wrong" << none << "Authentication failed" << QStringList{"readme.txt"};
    QTest::newRow("unknown branch") << "remote ahead" << PASSWORD << "nosuch"
                                    << "nosuch" << QStringList{"readme.txt"};
    QTest::newRow("named branch") << "up to date" << PASSWORD << "feature" << none
                                  << QStringList{"feature.txt", "readme.txt"};
}

void TestGitOperations::pull()
{
    QFETCH(QString, situation);
    QFETCH(QString, password);
    QFETCH(QString, branch);
    QFETCH(QString, errorPart);
    QFETCH(QStringList, expectedFiles);

    const QString repository = newRepository();
    const QString workingCopy = workingCopyOf(repository);
    QVERIFY(!workingCopy.isEmpty());
    if (situation != QLatin1String("up to date"))
        QVERIFY(m_server->pushFromElsewhere(
                repository, situation == QLatin1String("conflict") ? "readme.txt" : "remote.txt", "from elsewhere\n"));
    if (situation == QLatin1String("diverged"))
        QVERIFY(commitLocally(workingCopy, QStringLiteral("local.txt"), "local\n"));
    if (situation == QLatin1String("conflict"))
        QVERIFY(commitLocally(workingCopy, QStringLiteral("readme.txt"), "changed here\n"));

    call(QStringLiteral("gitPull"),
         {QStringLiteral("p1"), m_server->url(repository), LOGIN, password, workingCopy, branch});

    QCOMPARE(m_page->received().size(), 1);
    const QVariantList expectedHead{QStringLiteral("p1"), m_server->url(repository),
                                    QDir::currentPath() + QLatin1Char('/') + workingCopy};
    if (errorPart.isEmpty()) {
        QCOMPARE(m_page->received(QStringLiteral("gitPullFinished")).value(0), expectedHead);
    } else {
        const QVariantList args = m_page->received(QStringLiteral("gitPullError")).value(0);
        QCOMPARE(args.mid(0, 3), expectedHead);
        QVERIFY2(args.value(3).toString().contains(errorPart), qPrintable(args.value(3).toString()));
        QVERIFY2(!showsPassword(args.value(3).toString()), qPrintable(args.value(3).toString()));
    }
    QCOMPARE(QDir(workingCopy).entryList(QDir::Files, QDir::Name), expectedFiles);
    if (situation == QLatin1String("diverged")) {
        // The merge commit needed an identity the machine does not have.
        const QStringList head =
                GitHttpsServer::git(workingCopy, {"log", "-1", "--format=%P|%cn <%ce>"}).trimmed().split('|');
        QCOMPARE(head.value(0).split(' ').size(), 2);
        QCOMPARE(head.value(1), QStringLiteral("covrel <covrel@localhost>"));
    }
}

void TestGitOperations::commitAndPush_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("author");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<QString>("expectedHead");
    QTest::addColumn<QStringList>("expectedRemoteFiles");

    const QString none;
    const QString quoted = QStringLiteral("Fixed \"the\" report; it's $HOME & `done`");
    const QStringList withNew{"new.txt", "readme.txt"};
    QTest::newRow("author with email, comment with quotes") << "new file"
                                                            << "Ivan Petrov <ivan@example.org>" << quoted << none
                                                            << "Ivan Petrov <ivan@example.org> " + quoted << withNew;
    QTest::newRow("bare author name") << "new file"
                                      << "Ivan"
                                      << "c" << none << "Ivan <> c" << withNew;
    QTest::newRow("no author, no identity on the machine")
            << "new file" << none << "c" << none << "covrel <covrel@localhost> c" << withNew;
    QTest::newRow("line-ending warning on add") << "crlf warning"
                                                << "A <a@b>"
                                                << "c" << none << "A <a@b> c" << withNew;
    QTest::newRow("nothing to commit, earlier commit pushed")
            << "earlier commit"
            << "A <a@b>"
            << "c" << none << "Test Setup <setup@test> local" << QStringList{"earlier.txt", "readme.txt"};
    QTest::newRow("nothing to commit at all")
            << "clean"
            << "A <a@b>"
            << "c" << none << "Test Setup <setup@test> initial" << QStringList{"readme.txt"};
    QTest::newRow("rejected push") << "remote ahead"
                                   << "A <a@b>"
                                   << "c"
                                   << "rejected"
                                   << "Test Setup <setup@test> from elsewhere"
                                   << QStringList{"readme.txt", "remote.txt"};
    QTest::newRow("stale password in remote") << "stale password"
                                              << "A <a@b>"
                                              << "c"
                                              << "Authentication failed"
                                              << "Test Setup <setup@test> initial" << QStringList{"readme.txt"};
    QTest::newRow("failing commit hook") << "hook refuses"
                                         << "A <a@b>"
                                         << "c"
                                         << "hook says no"
                                         << "Test Setup <setup@test> initial" << QStringList{"readme.txt"};
}

void TestGitOperations::commitAndPush()
{
    QFETCH(QString, situation);
    QFETCH(QString, author);
    QFETCH(QString, comment);
    QFETCH(QString, errorPart);
    QFETCH(QString, expectedHead);
    QFETCH(QStringList, expectedRemoteFiles);

    const QString repository = newRepository();
    const QString workingCopy = workingCopyOf(repository);
    QVERIFY(!workingCopy.isEmpty());
    const bool addsFile = situation == QLatin1String("new file") || situation == QLatin1String("crlf warning")
            || situation == QLatin1String("remote ahead") || situation == QLatin1String("hook refuses")
            || situation == QLatin1String("stale password");
    if (situation == QLatin1String("crlf warning"))
        QVERIFY(!GitHttpsServer::git(workingCopy, {"config", "core.autocrlf", "true"}).isNull());
    if (situation == QLatin1String("earlier commit"))
        QVERIFY(commitLocally(workingCopy, QStringLiteral("earlier.txt"), "earlier\n"));
    if (situation == QLatin1String("remote ahead"))
        QVERIFY(m_server->pushFromElsewhere(repository, QStringLiteral("remote.txt"), "remote\n"));
    // The push uses the working copy's own remote, whatever credentials it holds.
    if (situation == QLatin1String("stale password")) {
        const QString stale =
                encodedCredentialsUrl(repository)
                        .replace(QString::fromLatin1(QUrl::toPercentEncoding(PASSWORD)), QStringLiteral("stale"));
        QVERIFY(!GitHttpsServer::git(workingCopy, {"remote", "set-url", "origin", stale}).isNull());
    }
    if (situation == QLatin1String("hook refuses"))
        QVERIFY(writeScript(workingCopy + QStringLiteral("/.git/hooks/pre-commit"),
                            "echo 'hook says no' >&2\nexit 1\n"));
    if (addsFile)
        QVERIFY(TestFiles::writeFile(workingCopy + QStringLiteral("/new.txt"), "one\ntwo\n"));

    const QString url = m_server->url(repository);
    call(QStringLiteral("gitCommitAndPush"),
         {QStringLiteral("g1"), url, LOGIN, PASSWORD, workingCopy, author, comment});

    QCOMPARE(m_page->received().size(), 1);
    const QVariantList expectedArgs{QStringLiteral("g1"), url, QDir::currentPath() + QLatin1Char('/') + workingCopy};
    if (errorPart.isEmpty()) {
        QCOMPARE(m_page->received(QStringLiteral("gitCommitAndPushFinished")).value(0), expectedArgs);
    } else {
        const QVariantList args = m_page->received(QStringLiteral("gitCommitAndPushError")).value(0);
        QCOMPARE(args.mid(0, 3), expectedArgs);
        QVERIFY2(args.value(3).toString().contains(errorPart), qPrintable(args.value(3).toString()));
        QVERIFY2(!showsPassword(args.value(3).toString()), qPrintable(args.value(3).toString()));
    }
    QCOMPARE(remoteHead(repository, QStringLiteral("%an <%ae> %s")), expectedHead);
    QCOMPARE(remoteFiles(repository), expectedRemoteFiles);
}

void TestGitOperations::pushThatNeverEnds()
{
    const QString repository = newRepository();
    const QString workingCopy = workingCopyOf(repository);
    QVERIFY(!workingCopy.isEmpty());
    QVERIFY(!GitHttpsServer::git(workingCopy, {"remote", "set-url", "origin", m_server->hangingUrl(repository)})
                     .isNull());
    QVERIFY(TestFiles::writeFile(workingCopy + QStringLiteral("/new.txt"), "new\n"));

    // Blocks for the push's whole 20 s wait: the server never answers.
    call(QStringLiteral("gitCommitAndPush"),
         {QStringLiteral("t1"), m_server->url(repository), LOGIN, PASSWORD, workingCopy, QStringLiteral("A <a@b>"),
          QStringLiteral("c")});

    QCOMPARE(m_page->received(QStringLiteral("gitCommitAndPushError")).value(0),
             (QVariantList{QStringLiteral("t1"), m_server->url(repository),
                           QDir::currentPath() + QLatin1Char('/') + workingCopy,
                           QStringLiteral("Отправка изменений в репозиторий не завершилась за 20 секунд")}));
    QCOMPARE(m_page->received().size(), 1);
}

QTEST_MAIN(TestGitOperations)
#include "TestGitOperations.moc"
