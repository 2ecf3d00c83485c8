#include "TalqDorvProcess.h"

#include "ChildProcess.h"

#include <QDir>

namespace TalqDorv {

namespace {
constexpr int ERROR_OUTPUT_KEPT = 2000;
} // namespace

Process::Process(QObject *parent)
    : QObject(parent)
    , m_process(new ChildProcess(this))
{
    m_process->readAsItComes(QProcess::StandardError);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &Process::dropUnexpectedOutput);
}

void Process::setExpectingOutput(bool expecting)
{
    m_expectingOutput = expecting;
    dropUnexpectedOutput();
}

void Process::dropUnexpectedOutput()
{
    // Nothing printed outside a request answers one: a late line would be
    // taken for the next request's answer.
    if (!m_expectingOutput)
        m_process->readAll();
}

qint64 Process::bufferedBytes() const { return m_process->bytesAvailable(); }

void Process::setProgramPath(const QString &path) { m_process->setProgram(nativePath(path)); }

void Process::addArgument(const QString &argument) { m_process->setArguments(m_process->arguments() << argument); }

void Process::addPathArgument(const QString &path) { addArgument(nativePath(path)); }

QString Process::program() const { return m_process->program(); }

QStringList Process::arguments() const { return m_process->arguments(); }

void Process::start() { m_process->start(QIODevice::ReadWrite); }

bool Process::waitForStarted(int msecs) { return m_process->waitForStarted(msecs); }

qint64 Process::processId() const { return m_process->processId(); }

bool Process::isRunning() const { return m_process->state() == QProcess::Running; }

QString Process::errorString() const { return m_process->errorString(); }

bool Process::canReadLine() const { return m_process->canReadLine(); }

QByteArray Process::readLine() { return m_process->readLine(); }

bool Process::waitForOutput(const QDeadlineTimer &deadline)
{
    if (!isRunning())
        return false;
    if (m_process->waitForReadyRead(int(qMax<qint64>(0, deadline.remainingTime()))))
        return true;
    // The output pipe can close a moment before the exit is noticed; settle
    // the state so callers see the program has ended.
    if (isRunning() && !deadline.hasExpired())
        m_process->waitForFinished(int(qMax<qint64>(0, deadline.remainingTime())));
    return false;
}

QByteArray Process::peekBuffered() const { return m_process->peek(m_process->bytesAvailable()); }

QByteArray Process::readBuffered() { return m_process->readAll(); }

qint64 Process::write(const QByteArray &bytes) { return m_process->write(bytes); }

bool Process::waitForBytesWritten(int msecs) { return m_process->waitForBytesWritten(msecs); }

QString Process::exitDescription()
{
    QString text = m_process->exitStatus() == QProcess::CrashExit
            ? QStringLiteral("аварийное завершение")
            : QStringLiteral("код выхода %1").arg(m_process->exitCode());
    const QString errorOutput = QString::fromUtf8(takeErrorOutput()).trimmed();
    if (!errorOutput.isEmpty())
        text += QStringLiteral(": ") + errorOutput;
    return text;
}

QByteArray Process::takeErrorOutput() { return m_process->tail(QProcess::StandardError).right(ERROR_OUTPUT_KEPT); }

void Process::kill() { m_process->end(); }

QString Process::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace TalqDorv
