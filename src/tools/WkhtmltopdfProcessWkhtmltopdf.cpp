#include "WkhtmltopdfProcessWkhtmltopdf.h"

#include <QDebug>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTimer>

namespace Wkhtmltopdf {

namespace {

// The converter reports each finished conversion as "Done" at the start of a
// progress line (after a carriage return). Requiring that start keeps a
// "Done" inside a console message of the print page from counting.
const QRegularExpression &doneMarker()
{
    static const QRegularExpression marker(QStringLiteral("[\\r\\n]Done"));
    return marker;
}
// Enough of the text to hold a marker cut in two by a read ("\rDon").
const int MARKER_TAIL = 4;

} // namespace

ProcessWkhtmltopdf::ProcessWkhtmltopdf(const QString &exePath, QObject *parent)
    : QObject(parent)
    , m_exePath(exePath)
    , m_idleTimer(new QTimer(this))
{
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(DEFAULT_IDLE_TIMEOUT_MS);
    connect(m_idleTimer, &QTimer::timeout, this, &ProcessWkhtmltopdf::batchProcessIdle);
}

ProcessWkhtmltopdf::~ProcessWkhtmltopdf()
{
    if (m_process && m_process->state() != QProcess::NotRunning)
        killProcess();
}

QProcess *ProcessWkhtmltopdf::newProcess(const QStringList &arguments)
{
    auto *process = new QProcess(this);
    process->setProgram(m_exePath);
    process->setArguments(arguments);
    // The converter needs no display, but aborts when it inherits a display
    // platform whose server it cannot reach.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    return process;
}

QProcess *ProcessWkhtmltopdf::buildProcess(const QString &footerAddress, const QString &headerAddress)
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
    QProcess *process = buildProcess(footerAddress, headerAddress);
    m_process = process;
    qDebug().noquote() << QStringLiteral("Arguments") << process->arguments().join(QLatin1Char(' '));
    connect(process, &QProcess::readyReadStandardOutput, this, &ProcessWkhtmltopdf::processOutput);
    connect(process, &QProcess::readyReadStandardError, this, &ProcessWkhtmltopdf::processOutput);
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ProcessWkhtmltopdf::batchProcessEnded);
    connect(process, &QProcess::errorOccurred, this, &ProcessWkhtmltopdf::processErrorOccurred);
    process->start(QIODevice::ReadWrite);
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Process id: %1").arg(process->processId());
    process->waitForStarted(START_TIMEOUT_MS);
    if (m_process)
        m_idleTimer->start();
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
    connect(m_process, &QProcess::readyReadStandardOutput, this, &ProcessWkhtmltopdf::processOutput);
    connect(m_process, &QProcess::errorOccurred, this, &ProcessWkhtmltopdf::processErrorOccurred);
    m_process->start(QIODevice::ReadWrite);
    if (m_process->waitForStarted(START_TIMEOUT_MS))
        m_process->closeWriteChannel();
    qDebug().noquote() << QStringLiteral("finished");
    return true;
}

void ProcessWkhtmltopdf::stop()
{
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] PROCESS STOP");
    m_idleTimer->stop();
    if (!m_process)
        return;
    // Our own kill is not the converter dying: nobody hears of it.
    killProcess();
}

void ProcessWkhtmltopdf::killProcess()
{
    m_process->disconnect(this);
    m_process->kill();
    // Gone for good before anyone goes on: a killed converter ends at once.
    m_process->waitForFinished(START_TIMEOUT_MS);
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

void ProcessWkhtmltopdf::setIdleTimeout(int msecs) { m_idleTimer->setInterval(msecs); }

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
    if (exitStatus == QProcess::CrashExit) {
        qDebug().noquote() << QStringLiteral("emit error");
        emit error();
        return;
    }
    qDebug().noquote() << QStringLiteral("emit finished");
    emit finished(exitCode, exitStatus);
}

void ProcessWkhtmltopdf::processOutput()
{
    if (!m_process)
        return;
    const QString text = QString::fromLocal8Bit(m_process->readAllStandardError());
    if (!m_batch)
        return; // a single run counts nothing
    m_idleTimer->start();
    m_stderrText += text;
    countCompletions();
}

void ProcessWkhtmltopdf::countCompletions()
{
    // Completions are counted once the whole batch is queued, so the counter
    // reaches 0 only when the batch is complete.
    if (!m_allQueued || m_batchFailed)
        return;
    while (m_process) {
        const QRegularExpressionMatch match = doneMarker().match(m_stderrText);
        if (!match.hasMatch())
            break;
        m_stderrText.remove(0, match.capturedEnd());
        --m_queueCounter;
        emit updateCounter(m_queueCounter);
        if (m_queueCounter == 0)
            stop();
    }
    m_stderrText = m_stderrText.right(MARKER_TAIL);
}

void ProcessWkhtmltopdf::processErrorOccurred(QProcess::ProcessError processError)
{
    // A crash also ends in a finished notification; only a converter that never
    // started would otherwise stay unanswered.
    if (processError != QProcess::FailedToStart || !m_process)
        return;
    qDebug().noquote()
            << QStringLiteral("[ProcessWkhtmltopdf] Cannot start %1: %2").arg(m_exePath, m_process->errorString());
    if (m_batch) {
        failBatch();
        return;
    }
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

void ProcessWkhtmltopdf::batchProcessEnded()
{
    processOutput(); // the last reports may come with the end
    if (!m_process)
        return;
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Converter ended with %1 conversions unreported")
                                  .arg(m_queueCounter);
    failBatch();
}

void ProcessWkhtmltopdf::batchProcessIdle()
{
    if (!m_process)
        return;
    qDebug().noquote() << QStringLiteral("[ProcessWkhtmltopdf] Converter silent for %1 ms, stopping it")
                                  .arg(m_idleTimer->interval());
    failBatch();
}

void ProcessWkhtmltopdf::failBatch()
{
    m_idleTimer->stop();
    if (m_process)
        killProcess();
    if (m_batchFailed)
        return;
    m_batchFailed = true;
    qDebug().noquote() << QStringLiteral("emit error");
    emit error();
}

} // namespace Wkhtmltopdf
