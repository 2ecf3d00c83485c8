#pragma once

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>

class ChildProcess;
class QTimer;

namespace Zip {

// One run of the 7-Zip executable. The end of the run is reported once:
// finished() when 7-Zip ended on its own (whatever its exit code), error()
// when it crashed, could not be started or overran its time limit.
// Its output is read as it comes: logged up to a bound, the rest dropped,
// a tail kept for the failure text.
class Process7Zip : public QObject
{
    Q_OBJECT
public:
    static const int START_TIMEOUT_MS = 30000;
    // Output of one run copied into the log; an endless printer stops there.
    static const int LOGGED_OUTPUT_BYTES = 64 * 1024;

    explicit Process7Zip(const QString &exePath, QObject *parent = nullptr);
    // A run still going when its owner gives up on it is killed here.
    ~Process7Zip() override;

    // Starts `command` with `arguments`; the child's standard input is closed at
    // once, so a question from 7-Zip (overwrite, password) ends the run instead
    // of hanging it. Always true: the outcome comes as finished() or error().
    bool command(const QString &command, const QStringList &arguments);
    // A later run still going after `msecs` is ended and answered with error().
    void setTimeLimit(int msecs);
    bool waitForFinished(int msecs);
    bool isFinished() const;
    // True when the current run ended on its own with exit code 0 ("Everything is Ok").
    bool succeeded() const;
    // Why the current run did not succeed, with 7-Zip's last words; empty after a success.
    QString failure() const;

    // The one place where paths handed to 7-Zip get the platform's separators.
    static QString nativePath(const QString &path);

signals:
    void finished();
    void error();

public slots:
    void processFinished(int exitCode, QProcess::ExitStatus exitStatus);

private slots:
    void processErrorOccurred(QProcess::ProcessError processError);
    void logOutput(QProcess::ProcessChannel channel, const QByteArray &bytes);
    void timeLimitReached();

private:
    QString lastWords() const;
    void fail(const QString &failure);

    QString m_exePath;
    QPointer<ChildProcess> m_process;
    QTimer *m_timeLimit = nullptr;
    bool m_succeeded = false;
    QString m_failure;
    int m_loggedBytes = 0;
};

} // namespace Zip
