#include "GitRunner.h"

#include "ChildProcess.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QString LOGIN_VARIABLE = QStringLiteral("COVREL_GIT_LOGIN");
const QString PASSWORD_VARIABLE = QStringLiteral("COVREL_GIT_PASSWORD");

// Answers git's request for credentials from the environment, and only for an
// HTTPS server; printf, not echo, so backslashes in a password stay as they are.
const QString CREDENTIAL_HELPER =
        QStringLiteral("!f() { test \"$1\" = get || return 0; https=;"
                       " while read -r line; do test \"$line\" = protocol=https && https=1; done;"
                       " test -n \"$https\" || return 0;"
                       " test -z \"$%1\" || printf 'username=%s\\n' \"$%1\";"
                       " printf 'password=%s\\n' \"$%2\"; }; f")
                .arg(LOGIN_VARIABLE, PASSWORD_VARIABLE);

QString text(const QByteArray &bytes) { return QString::fromUtf8(bytes); }

} // namespace

GitRunner::GitRunner(const QString &workingDir, QObject *parent)
    : QObject(parent)
    , m_workingDir(workingDir)
    , m_environment(quietEnvironment())
{ }

void GitRunner::setEnvironmentValue(const QString &name, const QString &value) { m_environment.insert(name, value); }

GitRunner::Result GitRunner::run(const QStringList &arguments, int waitMs)
{
    // Credential helpers of the machine could ask in a window or store the
    // page's password.
    return execute(QStringList{QStringLiteral("-c"), QStringLiteral("credential.helper=")} + arguments, m_environment,
                   waitMs, 0);
}

GitRunner::Result GitRunner::transfer(const QStringList &arguments, const Credentials &credentials, int waitMs)
{
    QStringList fullArguments{QStringLiteral("-c"), QStringLiteral("credential.helper=")};
    QProcessEnvironment environment = m_environment;
    if (!credentials.isEmpty()) {
        fullArguments << QStringLiteral("-c") << QStringLiteral("credential.helper=") + CREDENTIAL_HELPER;
        environment.insert(LOGIN_VARIABLE, credentials.login);
        environment.insert(PASSWORD_VARIABLE, credentials.password);
    }
    return execute(fullArguments + arguments, environment, waitMs, STALL_LIMIT_MS);
}

GitRunner::Result GitRunner::execute(const QStringList &arguments, const QProcessEnvironment &environment, int waitMs,
                                     int stallMs)
{
    waitMs = ChildProcess::timeLimit(waitMs);
    stallMs = stallMs > 0 ? ChildProcess::timeLimit(stallMs) : 0;
    const QString shownArguments =
            arguments.join(QLatin1Char(' ')).replace(CREDENTIAL_HELPER, QStringLiteral("!covrel"));
    qDebug().noquote() << QStringLiteral("[Git] %1: git %2").arg(m_workingDir, masked(shownArguments));

    // Started before the deadline: with a stall limit as long as the wait, a
    // silent git is reported as stalled, not as merely out of time.
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    ChildProcess process;
    process.setProgram(QStringLiteral("git"));
    process.setArguments(arguments);
    process.setWorkingDirectory(QDir::toNativeSeparators(m_workingDir));
    process.setProcessEnvironment(environment);
    connect(&process, &ChildProcess::received, this, [&sinceProgress] { sinceProgress.restart(); });
    process.readAsItComes(QProcess::StandardOutput);
    process.readAsItComes(QProcess::StandardError);
    process.start(QIODevice::ReadWrite);

    Result result;
    const QDeadlineTimer deadline(waitMs);
    result.started = process.waitForStarted(waitMs);
    if (result.started) {
        // git must never wait for an answer on its input.
        process.closeWriteChannel();
        waitForEnd(process, deadline, stallMs, sinceProgress, result);
    }
    result.crashed = result.finished && process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.finished ? process.exitCode() : -1;
    // Out of time or stalled: the command is abandoned, never left running.
    process.end();
    result.standardOutput = text(process.tail(QProcess::StandardOutput));
    result.standardError = text(process.tail(QProcess::StandardError));
    qDebug().noquote() << outcomeText(result, waitMs, stallMs);
    return result;
}

// Output read during the waits restarts the progress clock; a wait ends when
// git does, at the deadline, or (with a stall limit) when progress is overdue.
void GitRunner::waitForEnd(ChildProcess &process, const QDeadlineTimer &deadline, int stallMs,
                           const QElapsedTimer &sinceProgress, Result &result)
{
    for (;;) {
        qint64 slice = deadline.remainingTime();
        if (stallMs > 0)
            slice = qBound<qint64>(0, stallMs - sinceProgress.elapsed(), slice);
        if (process.waitForFinished(static_cast<int>(slice)) || process.state() == QProcess::NotRunning) {
            result.finished = true;
            return;
        }
        if (stallMs > 0 && sinceProgress.elapsed() >= stallMs) {
            result.stalled = true;
            return;
        }
        if (deadline.hasExpired())
            return;
    }
}

QString GitRunner::outcomeText(const Result &result, int waitMs, int stallMs)
{
    if (!result.started)
        return QStringLiteral("[Git] git could not be started");
    if (result.stalled)
        return QStringLiteral("[Git] git showed no progress for %1 ms and was ended").arg(stallMs);
    if (!result.finished)
        return QStringLiteral("[Git] git did not end within %1 ms and was ended").arg(waitMs);
    if (result.crashed)
        return QStringLiteral("[Git] git crashed");
    return QStringLiteral("[Git] git exit code: %1").arg(result.exitCode);
}

QString GitRunner::masked(const QString &text)
{
    static const QRegularExpression userInfo(QStringLiteral("(://)\\S*@"));
    return QString(text).replace(userInfo, QStringLiteral("\\1***@"));
}

QProcessEnvironment GitRunner::quietEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GIT_TERMINAL_PROMPT"), QStringLiteral("0"));
    environment.remove(QStringLiteral("SSH_ASKPASS"));
    environment.insert(QStringLiteral("GCM_INTERACTIVE"), QStringLiteral("never"));
    // A program that answers nothing: a question for a login ends at once.
    const QString silent = QStandardPaths::findExecutable(QStringLiteral("true"));
    if (silent.isEmpty())
        environment.remove(QStringLiteral("GIT_ASKPASS"));
    else
        environment.insert(QStringLiteral("GIT_ASKPASS"), silent);
    // A merge after a pull keeps git's own message instead of opening an editor.
    environment.insert(QStringLiteral("GIT_MERGE_AUTOEDIT"), QStringLiteral("no"));
    if (!silent.isEmpty())
        environment.insert(QStringLiteral("GIT_EDITOR"), silent);
    return environment;
}
