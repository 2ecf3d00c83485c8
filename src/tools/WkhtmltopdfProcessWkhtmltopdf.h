#pragma once

#include "WkhtmltopdfProgressReader.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

class ChildProcess;
class QTimer;

namespace Wkhtmltopdf {

// One converter process, used in one of two modes:
// - a single run with a full argument list (command), answered by finished()
//   or error();
// - a long-running batch converter (start) fed one conversion per line of
//   standard input (commandToStdin). A queue counter goes up per line and down
//   per "Done" the converter reports; updateCounter() carries each decrease.
//   The batch ends when every line was queued (finishQueue) and reported; a
//   converter that ends before that, or spends longer than the time limit on
//   one conversion, is answered with error().
// Output is read as it comes and dropped once looked at; a tail of standard
// error is kept for the failure text.
class ProcessWkhtmltopdf : public QObject
{
    Q_OBJECT
public:
    static const int START_TIMEOUT_MS = 30000;
    // Time one conversion may take, a single run or one line of a batch: one
    // takes seconds (two of them the print page's script delay), so five
    // minutes mean a hung converter, whatever it keeps printing.
    static const int CONVERSION_LIMIT_MS = 5 * 60 * 1000;

    ProcessWkhtmltopdf(const QString &exePath, QObject *parent);
    ~ProcessWkhtmltopdf() override;

    // Creates, without starting, the long-running converter.
    ChildProcess *buildProcess(const QString &footerAddress, const QString &headerAddress);
    void start(const QString &footerAddress, const QString &headerAddress);
    // Queues one conversion. An empty argument list queues nothing: the
    // converter would end the whole batch on an empty line.
    void commandToStdin(const QStringList &arguments);
    // Every line is queued: the converter gets end of input and the batch may
    // now end once the counter reaches 0.
    void finishQueue();

    bool command(const QStringList &arguments);
    void stop();
    bool waitForFinished(int msecs);
    bool isFinished() const;
    bool isStarted() const;
    int queueCounter() const;
    // Replaces CONVERSION_LIMIT_MS (or what the tool time-limit variable made of it).
    void setTimeLimit(int msecs);
    // The converter's last words on standard error, for a failure text.
    QString lastWords() const;

    // One standard-input line: every argument in double quotes, with the
    // converter's escapes for backslash and double quote.
    static QString stdinLine(const QStringList &arguments);

signals:
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void error();
    void updateCounter(int queueCounter);

public slots:
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processOutput(QProcess::ProcessChannel channel, const QByteArray &bytes);

private slots:
    void processErrorOccurred(QProcess::ProcessError processError);
    void batchProcessEnded();
    void timeLimitReached();

private:
    ChildProcess *newProcess(const QStringList &arguments);
    void countCompletions();
    void failBatch();
    void killProcess();

    QString m_exePath;
    int m_queueCounter = 0;
    QPointer<ChildProcess> m_process;
    ProgressReader m_progress;
    int m_unreported = 0;
    QString m_lastWords;
    bool m_batch = false;
    bool m_allQueued = false;
    bool m_batchFailed = false;
    QTimer *m_timeLimit = nullptr;
};

} // namespace Wkhtmltopdf
