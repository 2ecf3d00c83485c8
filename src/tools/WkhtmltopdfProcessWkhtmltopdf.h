#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTimer;

namespace Wkhtmltopdf {

// One converter process, used in one of two modes:
// - a single run with a full argument list (command), answered by finished()
//   or error();
// - a long-running batch converter (start) fed one conversion per line of
//   standard input (commandToStdin). A queue counter goes up per line and down
//   per "Done" the converter reports; updateCounter() carries each decrease.
//   The batch ends when every line was queued (finishQueue) and reported; a
//   converter that ends or goes silent before that is answered with error().
class ProcessWkhtmltopdf : public QObject
{
    Q_OBJECT
public:
    static const int START_TIMEOUT_MS = 30000;
    // A batch converter quiet for this long is taken for hung.
    static const int DEFAULT_IDLE_TIMEOUT_MS = 300000;

    ProcessWkhtmltopdf(const QString &exePath, QObject *parent);
    ~ProcessWkhtmltopdf() override;

    // Creates, without starting, the long-running converter.
    QProcess *buildProcess(const QString &footerAddress, const QString &headerAddress);
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
    void setIdleTimeout(int msecs);

    // One standard-input line: every argument in double quotes, with the
    // converter's escapes for backslash and double quote.
    static QString stdinLine(const QStringList &arguments);

signals:
    void finished(int exitCode, QProcess::ExitStatus exitStatus);
    void error();
    void updateCounter(int queueCounter);

public slots:
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void processOutput();

private slots:
    void processErrorOccurred(QProcess::ProcessError processError);
    void batchProcessEnded();
    void batchProcessIdle();

private:
    QProcess *newProcess(const QStringList &arguments);
    void countCompletions();
    void failBatch();
    void killProcess();

    QString m_exePath;
    int m_queueCounter = 0;
    QPointer<QProcess> m_process;
    QString m_stderrText;
    bool m_batch = false;
    bool m_allQueued = false;
    bool m_batchFailed = false;
    QTimer *m_idleTimer = nullptr;
};

} // namespace Wkhtmltopdf
