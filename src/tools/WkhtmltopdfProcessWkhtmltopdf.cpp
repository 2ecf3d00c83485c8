#include "WkhtmltopdfProcessWkhtmltopdf.h"

#include "ChildProcess.h"

#include <QDebug>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTimer>

namespace Wkhtmltopdf {

namespace {

// Characters of the converter's last words put into a failure text.
const int LAST_WORDS_CHARS = 1000;

} // namespace

ProcessWkhtmltopdf::ProcessWkhtmltopdf(const QString &exePath, QObject *parent)
    : QObject(parent)
    , m_exePath(exePath)
    , m_timeLimit(new QTimer(this))
{
    m_timeLimit->setSingleShot(true);
    m_timeLimit->setInterval(ChildProcess::timeLimit(CONVERSION_LIMIT_MS));
    connect(m_timeLimit, &QTimer::timeout, this, &ProcessWkhtmltopdf::timeLimitReached);
}

ProcessWkhtmltopdf::~ProcessWkhtmltopdf()
{
    if (m_process && m_process->state() != QProcess::NotRunning)
        killProcess();
}

ChildProcess *ProcessWkhtmltopdf::newProcess(const QStringList &arguments)
{
    auto *process = new ChildProcess(this);
    process->setProgram(m_exePath);
    process->setArguments(arguments);
    // The converter needs no display, but aborts when it inherits a display
    // platform whose server it cannot reach.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    connect(process, &ChildProcess::received, this, &ProcessWkhtmltopdf::processOutput);
    process->readAsItComes(QProcess::StandardOutput);
    process->readAsItComes(QProcess::StandardError);
    return process;
}

ChildProcess *ProcessWkhtmltopdf::buildProcess(const QString &footerAddress, const QString &headerAddress)
{
    return newProcess({QStringLiteral("--read-args-from-stdin"), QStringLiteral("--enable-local-file-access"),
                       QStringLiteral("--footer-html"), footerAddress, QStringLiteral("--footer-spacing"),
                       QStringLiteral("10"), QStringLiteral("--header-html"), headerAddress,
                       QStringLiteral("--header-spacing"), QStringLiteral("18"), QStringLiteral("--margin-left"),
                       QStringLiteral("20mm"), QStringLiteral("--debug-javascript"),
                       QStringLiteral("--javascript-delay"), QStringLiteral("2000")});
}

void ProcessWkhtmltopdf::start(const QString &footerAddress, const QString &headerAddress)
{
    m_batch = true;
    ChildProcess *process = buildProcess(footerAddress, headerAddress);
    m_process = process;
    qDebug().noquote() << QStringLiteral("Arguments") << process->arguments().join(QLatin1Char(' '));
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ProcessWkhtmltopdf::batchProcessEnded);
    connect(process, &QProcess::errorOccurred, this, &ProcessWkhtmltopdf::processErrorOccurred);
    process->start(QIODevice::ReadWrite);
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Process id: %1").arg(process->processId());
    process->waitForStarted(START_TIMEOUT_MS);
    // The first conversion's time runs from here; each reported one starts the next's.
    if (m_process)
        m_timeLimit->start();
}

void ProcessWkhtmltopdf::commandToStdin(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return;
    const QString line = stdinLine(arguments);
    if (!isStarted()) {
        qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Not running, not queued: %1").arg(line);
        return;
    }
    ++m_queueCounter;
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Write to stdin: %1").arg(line);
    m_process->write((line + QLatin1Char('\n')).toLocal8Bit());
    m_process->waitForBytesWritten(1);
    if (m_process)
        m_process->waitForReadyRead(1);
}

void ProcessWkhtmltopdf::finishQueue()
{
    m_allQueued = true;
    if (!m_process)
        return;
    // End of input: a converter that finishes the queue without reporting it
    // then ends, and its end is noticed, instead of waiting for ever.
    m_process->closeWriteChannel();
    countCompletions();
    if (m_process && m_queueCounter == 0)
        stop();
}

bool ProcessWkhtmltopdf::command(const QStringList &arguments)
{
    m_process = newProcess(arguments);
    qDebug().noquote() << QStringLiteral("Arguments") << arguments.join(QLatin1Char(' '));
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ProcessWkhtmltopdf::processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &ProcessWkhtmltopdf::processErrorOccurred);
    m_timeLimit->start();
    m_process->start(QIODevice::ReadWrite);
    if (m_process && m_process->waitForStarted(START_TIMEOUT_MS))
        m_process->closeWriteChannel();
    qDebug().noquote() << QStringLiteral("finished");
    return true;
}

void ProcessWkhtmltopdf::stop()
{
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] PROCESS STOP");
    m_timeLimit->stop();
    if (!m_process)
        return;
    // Our own kill is not the converter dying: nobody hears of it.
    killProcess();
}

void ProcessWkhtmltopdf::killProcess()
{
    m_lastWords = lastWords();
    m_process->disconnect(this);
    // Gone for good before anyone goes on: a killed converter ends at once.
    m_process->end();
    m_process = nullptr;
}

bool ProcessWkhtmltopdf::waitForFinished(int msecs)
{
    if (!m_process)
        return false;
    return m_process->waitForFinished(msecs);
}

bool ProcessWkhtmltopdf::isFinished() const { return !m_process || m_process->state() == QProcess::NotRunning; }

bool ProcessWkhtmltopdf::isStarted() const { return m_process && m_process->state() == QProcess::Running; }

int ProcessWkhtmltopdf::queueCounter() const { return m_queueCounter; }

void ProcessWkhtmltopdf::setTimeLimit(int msecs) { m_timeLimit->setInterval(msecs); }

QString ProcessWkhtmltopdf::lastWords() const
{
    if (!m_process)
        return m_lastWords;
    return QString::fromLocal8Bit(m_process->tail(QProcess::StandardError).trimmed())
            .right(LAST_WORDS_CHARS)
            .simplified();
}

QString ProcessWkhtmltopdf::stdinLine(const QStringList &arguments)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QStringList quoted;
    for (QString argument : arguments) {
        // The converter reads one line per conversion, so a line break cannot
        // travel as it is; script reads U+2028 as a line break all the same.
        argument.replace(lineBreak, QString(QChar(0x2028)));
        argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        argument.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        quoted << QLatin1Char('"') + argument + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(' '));
}

void ProcessWkhtmltopdf::processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    m_timeLimit->stop();
    if (exitStatus == QProcess::CrashExit) {
        qDebug().noquote() << QStringLiteral("emit error");
        emit error();
        return;
    }
    qDebug().noquote() << QStringLiteral("emit finished");
    emit finished(exitCode, exitStatus);
}

void ProcessWkhtmltopdf::processOutput(QProcess::ProcessChannel channel, const QByteArray &bytes)
{
    // Only a batch counts, and only its progress on standard error; the rest
    // was read to keep the pipes flowing and is dropped here.
    if (!m_batch || channel != QProcess::StandardError)
        return;
    m_unreported += m_progress.take(bytes);
    countCompletions();
}

void ProcessWkhtmltopdf::countCompletions()
{
    // Completions are counted once the whole batch is queued, so the counter
    // reaches 0 only when the batch is complete.
    if (!m_allQueued || m_batchFailed)
        return;
    while (m_process && m_unreported > 0) {
        --m_unreported;
        --m_queueCounter;
        m_timeLimit->start(); // the next conversion's own time
        emit updateCounter(m_queueCounter);
        if (m_queueCounter == 0)
            stop();
    }
}

void ProcessWkhtmltopdf::processErrorOccurred(QProcess::ProcessError processError)
{
    // A crash also ends in a finished notification; only a converter that never
    // started would otherwise stay unanswered.
    if (processError != QProcess::FailedToStart || !m_process)
        return;
    qDebug().noquote()
            << QStringLiteral("[ProcessWkhtmltopdf] Cannot start %1: %2").arg(m_exePath, m_process->errorString());
    m_timeLimit->stop();
    if (m_batch) {
        failBatch();
        return;
    }
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

void ProcessWkhtmltopdf::batchProcessEnded()
{
    if (!m_process)
        return;
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Converter ended with %1 conversions unreported: %2")
                                  .arg(m_queueCounter)
                                  .arg(lastWords());
    failBatch();
}

void ProcessWkhtmltopdf::timeLimitReached()
{
    if (!m_process)
        return;
    qDebug().noquote() << QStringLiteral(
                                  "[ProcessWkhtmltopdf] A conversion took longer than %1 ms, stopping the converter")
                                  .arg(m_timeLimit->interval());
    if (m_batch) {
        failBatch();
        return;
    }
    killProcess();
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

void ProcessWkhtmltopdf::failBatch()
{
    m_timeLimit->stop();
    if (m_process)
        killProcess();
    if (m_batchFailed)
        return;
    m_batchFailed = true;
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

} // namespace Wkhtmltopdf
