#include "ZipProcess7Zip.h"

#include <QDebug>
#include <QDir>

namespace Zip {

Process7Zip::Process7Zip(const QString &exePath, QObject *parent)
    : QObject(parent)
    , m_exePath(exePath)
{ }

Process7Zip::~Process7Zip()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        // Nobody listens any more: a killed run must not report as error().
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(START_TIMEOUT_MS);
    }
}

QString Process7Zip::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

bool Process7Zip::command(const QString &command, const QStringList &arguments)
{
    m_succeeded = false;
    m_process = new QProcess(this);
    m_process->setProgram(m_exePath);
    m_process->setArguments(QStringList(command) + arguments);
    qDebug().noquote() << QStringLiteral("Arguments") << m_process->arguments().join(QLatin1Char(' '));

    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &Process7Zip::processFinished);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &Process7Zip::processReadyReadStandardOutput);
    connect(m_process, &QProcess::errorOccurred, this, &Process7Zip::processErrorOccurred);

    m_process->start(QIODevice::ReadWrite);
    if (m_process->waitForStarted(START_TIMEOUT_MS))
        m_process->closeWriteChannel();
    qDebug().noquote() << QStringLiteral("finished");
    return true;
}

bool Process7Zip::waitForFinished(int msecs)
{
    if (!m_process)
        return false;
    return m_process->waitForFinished(msecs);
}

bool Process7Zip::isFinished() const { return !m_process || m_process->state() == QProcess::NotRunning; }

bool Process7Zip::succeeded() const { return m_succeeded; }

void Process7Zip::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    processReadyReadStandardOutput();
    if (exitStatus == QProcess::CrashExit) {
        qDebug().noquote() << QStringLiteral("emit error");
        emit error();
        return;
    }
    m_succeeded = exitCode == 0;
    qDebug().noquote() << QStringLiteral("emit finished");
    emit finished();
}

void Process7Zip::processReadyReadStandardOutput()
{
    if (!m_process)
        return;
    const QByteArray out = m_process->readAllStandardOutput();
    if (!out.isEmpty())
        qDebug().noquote() << QString::fromLocal8Bit(out);
    const QByteArray err = m_process->readAllStandardError();
    if (!err.isEmpty())
        qDebug().noquote() << QString::fromLocal8Bit(err);
}

void Process7Zip::processErrorOccurred(QProcess::ProcessError processError)
{
    // A crash also ends in processFinished(); only a run that never started
    // would otherwise stay unanswered.
    if (processError != QProcess::FailedToStart)
        return;
    qDebug().noquote() << QStringLiteral("7-Zip cannot be started: %1 (%2)").arg(m_exePath, m_process->errorString());
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

} // namespace Zip
