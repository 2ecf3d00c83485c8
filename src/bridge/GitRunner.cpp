#include "GitRunner.h"

#include <QDebug>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

GitRunner::GitRunner(const QString &workingDir, QObject *parent)
    : QObject(parent)
    , m_workingDir(workingDir)
    , m_environment(quietEnvironment())
{ }

void GitRunner::setEnvironmentValue(const QString &name, const QString &value) { m_environment.insert(name, value); }

GitRunner::Result GitRunner::run(const QStringList &arguments, int waitMs)
{
    // Credential helpers of the machine could ask in a window or store the
    // page's password; the address is the only source of credentials.
    const QStringList fullArguments =
            QStringList{QStringLiteral("-c"), QStringLiteral("credential.helper=")} + arguments;
    qDebug().noquote()
            << QStringLiteral("[Git] %1: git %2").arg(m_workingDir, masked(fullArguments.join(QLatin1Char(' '))));

    QProcess process;
    process.setProgram(QStringLiteral("git"));
    process.setArguments(fullArguments);
    process.setWorkingDirectory(QDir::toNativeSeparators(m_workingDir));
    process.setProcessEnvironment(m_environment);
    process.start(QIODevice::ReadWrite);

    Result result;
    result.started = process.waitForStarted(waitMs);
    if (result.started) {
        // git must never wait for an answer on its input.
        process.closeWriteChannel();
        result.finished = process.waitForFinished(waitMs);
    }
    result.crashed = result.finished && process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.finished ? process.exitCode() : -1;
    if (result.started && !result.finished) {
        // Out of time: the command is abandoned, never left running.
        process.kill();
        process.waitForFinished();
    }
    result.standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    result.standardError = QString::fromUtf8(process.readAllStandardError());
    qDebug().noquote() << outcomeText(result, waitMs);
    return result;
}

QString GitRunner::outcomeText(const Result &result, int waitMs)
{
    if (!result.started)
        return QStringLiteral("[Git] git could not be started");
    if (!result.finished)
        return QStringLiteral("[Git] git did not end within %1 ms").arg(waitMs);
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
