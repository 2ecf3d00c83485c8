#include "GitHttpsServer.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

const int SAFETY_WAIT_MS = 60000;

bool runTool(const QString &program, const QStringList &arguments, const QString &workingDir, QString *output,
             QString *error)
{
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(SAFETY_WAIT_MS);
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    if (error)
        *error = QString::fromUtf8(process.readAllStandardError());
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

GitHttpsServer::GitHttpsServer(const QString &dir, const QString &login, const QString &password, QObject *parent)
    : QObject(parent)
    , m_dir(dir)
    , m_login(login)
    , m_password(password)
{ }

GitHttpsServer::~GitHttpsServer()
{
    // The server ends when its input closes.
    if (m_server && m_server->state() != QProcess::NotRunning) {
        m_server->closeWriteChannel();
        if (!m_server->waitForFinished(SAFETY_WAIT_MS))
            m_server->kill();
    }
}

bool GitHttpsServer::start()
{
    QDir(m_dir).mkpath(QStringLiteral("repositories"));
    return makeCertificate() && startServer();
}

QString GitHttpsServer::errorString() const { return m_error; }
QString GitHttpsServer::certificatePath() const { return m_dir + QStringLiteral("/cert.pem"); }

QString GitHttpsServer::url(const QString &name) const
{
    return QStringLiteral("https://127.0.0.1:%1/%2.git").arg(m_port, name);
}

QString GitHttpsServer::hangingUrl(const QString &name) const
{
    return QStringLiteral("https://127.0.0.1:%1/hang/%2.git").arg(m_port, name);
}

QString GitHttpsServer::repositoryPath(const QString &name) const
{
    return m_dir + QStringLiteral("/repositories/") + name + QStringLiteral(".git");
}

bool GitHttpsServer::makeCertificate()
{
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
        return fail(QStringLiteral("openssl is not installed"));
    QString error;
    const bool made = runTool(
            openssl,
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
             QStringLiteral("-keyout"), m_dir + QStringLiteral("/key.pem"), QStringLiteral("-out"), certificatePath()},
            m_dir, nullptr, &error);
    return made || fail(QStringLiteral("openssl failed: ") + error);
}

bool GitHttpsServer::startServer()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return fail(QStringLiteral("python3 is not installed"));
    QString execPath;
    runTool(QStringLiteral("git"), {QStringLiteral("--exec-path")}, m_dir, &execPath, nullptr);
    const QString portFile = m_dir + QStringLiteral("/port");
    m_server = new QProcess(this);
    m_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The server's standard input stays open: it ends when this process does.
    m_server->start(python,
                    {qEnvironmentVariable("COVREL_SOURCE_DIR") + QStringLiteral("/tests/bridge/git_https_server.py"),
                     QStringLiteral("--root"), m_dir + QStringLiteral("/repositories"), QStringLiteral("--cert"),
                     certificatePath(), QStringLiteral("--key"), m_dir + QStringLiteral("/key.pem"),
                     QStringLiteral("--user"), m_login, QStringLiteral("--password"), m_password,
                     QStringLiteral("--port-file"), portFile, QStringLiteral("--backend"),
                     execPath.trimmed() + QStringLiteral("/git-http-backend")});
    const bool listening = QTest::qWaitFor(
            [&] { return QFile::exists(portFile) || m_server->state() == QProcess::NotRunning; }, SAFETY_WAIT_MS);
    QFile file(portFile);
    if (!listening || !file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the git HTTPS server did not start"));
    m_port = QString::fromLatin1(file.readAll()).trimmed();
    return true;
}

bool GitHttpsServer::createRepository(const QString &name)
{
    const QString seed = m_dir + QStringLiteral("/seed-") + name;
    QDir().mkpath(seed);
    return !git(seed, {QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("master")})
                    .isNull()
            && TestFiles::writeFile(seed + QStringLiteral("/readme.txt"), "first line\n")
            && !git(seed, {QStringLiteral("add"), QStringLiteral(".")}).isNull()
            && !git(seed,
                    {QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("initial")})
                        .isNull()
            && !git(seed,
                    {QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("feature")})
                        .isNull()
            && TestFiles::writeFile(seed + QStringLiteral("/feature.txt"), "feature\n")
            && !git(seed, {QStringLiteral("add"), QStringLiteral(".")}).isNull()
            && !git(seed,
                    {QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"), QStringLiteral("feature")})
                        .isNull()
            && !git(seed, {QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("master")}).isNull()
            && !git(m_dir,
                    {QStringLiteral("clone"), QStringLiteral("-q"), QStringLiteral("--bare"), seed,
                     repositoryPath(name)})
                        .isNull();
}

bool GitHttpsServer::pushFromElsewhere(const QString &name, const QString &fileName, const QByteArray &content)
{
    const QString scratch = m_dir + QStringLiteral("/elsewhere-%1").arg(++m_scratchCount);
    return !git(m_dir, {QStringLiteral("clone"), QStringLiteral("-q"), repositoryPath(name), scratch}).isNull()
            && TestFiles::writeFile(scratch + QLatin1Char('/') + fileName, content)
            && !git(scratch, {QStringLiteral("add"), QStringLiteral(".")}).isNull()
            && !git(scratch,
                    {QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"),
                     QStringLiteral("from elsewhere")})
                        .isNull()
            && !git(scratch,
                    {QStringLiteral("push"), QStringLiteral("-q"), QStringLiteral("origin"), QStringLiteral("master")})
                        .isNull();
}

QString GitHttpsServer::git(const QString &workingDir, const QStringList &arguments)
{
    QString output;
    QString error;
    const QStringList identity{QStringLiteral("-c"), QStringLiteral("user.name=Test Setup"), QStringLiteral("-c"),
                               QStringLiteral("user.email=setup@test")};
    if (!runTool(QStringLiteral("git"), identity + arguments, workingDir, &output, &error)) {
        qWarning().noquote() << "git" << arguments.join(QLatin1Char(' ')) << "failed:" << error;
        return QString();
    }
    return output.isNull() ? QStringLiteral("") : output;
}

bool GitHttpsServer::fail(const QString &message)
{
    m_error = message;
    return false;
}
