#include "ZipProcess7Zip.h"

#include "ChildProcess.h"

#include <QDebug>
#include <QDir>
#include <QTimer>

namespace Zip {

namespace {
// Characters of 7-Zip's last words put into a failure text.
const int LAST_WORDS_CHARS = 1000;
} // namespace

Process7Zip::Process7Zip(const QString &exePath, QObject *parent)
    : QObject(parent)
    , m_exePath(exePath)
{ }

Process7Zip::~Process7Zip()
{
    // Nobody listens any more: a killed run must not report as error().
    if (m_process)
        m_process->disconnect(this);
}

QString Process7Zip::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

bool Process7Zip::command(const QString &command, const QStringList &arguments)
{
    m_succeeded = false;
    m_failure.clear();
    m_loggedBytes = 0;
    m_process = new ChildProcess(this);
    m_process->setProgram(m_exePath);
    m_process->setArguments(QStringList(command) + arguments);
    qDebug().noquote() << QStringLiteral("Arguments") << m_process->arguments().join(QLatin1Char(' '));

    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &Process7Zip::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &Process7Zip::processErrorOccurred);
    connect(m_process, &ChildProcess::received, this, &Process7Zip::logOutput);
    m_process->readAsItComes(QProcess::StandardOutput);
    m_process->readAsItComes(QProcess::StandardError);

    if (m_timeLimit)
        m_timeLimit->start();
    m_process->start(QIODevice::ReadWrite);
    if (m_process && m_process->waitForStarted(START_TIMEOUT_MS))
        m_process->closeWriteChannel();
    qDebug().noquote() << QStringLiteral("finished");
    return true;
}

void Process7Zip::setTimeLimit(int msecs)
{
    if (!m_timeLimit) {
        m_timeLimit = new QTimer(this);
        m_timeLimit->setSingleShot(true);
        connect(m_timeLimit, &QTimer::timeout, this, &Process7Zip::timeLimitReached);
    }
    m_timeLimit->setInterval(msecs);
}

bool Process7Zip::waitForFinished(int msecs)
{
    if (!m_process)
        return false;
    return m_process->waitForFinished(msecs);
}

bool Process7Zip::isFinished() const { return !m_process || m_process->state() == QProcess::NotRunning; }

bool Process7Zip::succeeded() const { return m_succeeded; }

QString Process7Zip::failure() const { return m_failure; }

void Process7Zip::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (m_timeLimit)
        m_timeLimit->stop();
    if (exitStatus == QProcess::CrashExit) {
        m_failure = QStringLiteral("7-Zip crashed: %1").arg(lastWords());
        qDebug().noquote() << QStringLiteral("emit error");
        emit error();
        return;
    }
    m_succeeded = exitCode == 0;
    if (!m_succeeded)
        m_failure = QStringLiteral("7-Zip exit code %1: %2").arg(exitCode).arg(lastWords());
    qDebug().noquote() << QStringLiteral("emit finished");
    emit finished();
}

void Process7Zip::logOutput(QProcess::ProcessChannel channel, const QByteArray &bytes)
{
    Q_UNUSED(channel)
    if (m_loggedBytes >= LOGGED_OUTPUT_BYTES)
        return;
    m_loggedBytes += bytes.size();
    qDebug().noquote() << QString::fromLocal8Bit(bytes);
    if (m_loggedBytes >= LOGGED_OUTPUT_BYTES)
        qDebug().noquote() << QStringLiteral("[Zip::Process7Zip] More than %1 bytes of output: the rest is not logged")
                                      .arg(LOGGED_OUTPUT_BYTES);
}

void Process7Zip::processErrorOccurred(QProcess::ProcessError processError)
{
    // A crash also ends in processFinished(); only a run that never started
    // would otherwise stay unanswered.
    if (processError != QProcess::FailedToStart)
        return;
    fail(QStringLiteral("7-Zip cannot be started: %1 (%2)").arg(m_exePath, m_process->errorString()));
}

void Process7Zip::timeLimitReached()
{
    if (isFinished())
        return;
    // Our own end of the run is not 7-Zip crashing: answered once, here.
    m_process->disconnect(this);
    m_process->end();
    fail(QStringLiteral("7-Zip did not finish within %1 ms and was ended").arg(m_timeLimit->interval()));
}

void Process7Zip::fail(const QString &failure)
{
    if (m_timeLimit)
        m_timeLimit->stop();
    m_failure = failure;
    qDebug().noquote() << QStringLiteral("[Zip::Process7Zip] ") + failure;
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

QString Process7Zip::lastWords() const
{
    QByteArray words = m_process->tail(QProcess::StandardError).trimmed();
    if (words.isEmpty())
        words = m_process->tail(QProcess::StandardOutput).trimmed();
    return QString::fromLocal8Bit(words).right(LAST_WORDS_CHARS).simplified();
}

} // namespace Zip
