#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class ChildProcess;
class QDeadlineTimer;
class QElapsedTimer;

// Runs the command-line git client in one working directory, one command at a
// time, blocking until it ends or the wait runs out. Every child gets an
// environment in which git can neither prompt nor pop up a window, so a
// missing or wrong password ends the command instead of hanging it. Output is
// read as it comes and only a tail of each channel kept.
class GitRunner : public QObject
{
    Q_OBJECT
public:
    // A transfer that shows no progress for this long is taken for hung and
    // ended: git reports progress every second while data moves, and a
    // server preparing a large pack reports its own counting meanwhile.
    static const int STALL_LIMIT_MS = 5 * 60 * 1000;

    struct Result
    {
        bool started = false;
        bool finished = false; // ended (normally or by a crash) within the wait
        bool stalled = false; // ended by us: no progress for the stall limit
        bool crashed = false;
        int exitCode = -1;
        QString standardOutput; // the last ChildProcess::TAIL_BYTES of each
        QString standardError;

        bool succeeded() const { return finished && !crashed && exitCode == 0; }
        // Standard error, or standard output when git wrote nothing there.
        QString output() const { return standardError.isEmpty() ? standardOutput : standardError; }
    };

    // Login and password for an HTTPS server. They reach git through its
    // environment and a credential helper of ours that reads them from there,
    // so neither git's command line nor a stored remote ever holds them.
    struct Credentials
    {
        QString login;
        QString password;
        bool isEmpty() const { return login.isEmpty() && password.isEmpty(); }
    };

    explicit GitRunner(const QString &workingDir, QObject *parent = nullptr);

    // Adds or replaces one variable of every later child's environment.
    void setEnvironmentValue(const QString &name, const QString &value);

    Result run(const QStringList &arguments, int waitMs);
    // A command that talks to a server: given the credentials, and ended when
    // it shows no progress for STALL_LIMIT_MS (the command asks git for its
    // progress with --progress).
    Result transfer(const QStringList &arguments, const Credentials &credentials, int waitMs);

    // The text with the password part of every address replaced, fit for a
    // log or the page.
    static QString masked(const QString &text);

private:
    Result execute(const QStringList &arguments, const QProcessEnvironment &environment, int waitMs, int stallMs);
    static void waitForEnd(ChildProcess &process, const QDeadlineTimer &deadline, int stallMs,
                           const QElapsedTimer &sinceProgress, Result &result);
    static QProcessEnvironment quietEnvironment();
    static QString outcomeText(const Result &result, int waitMs, int stallMs);

    QString m_workingDir;
    QProcessEnvironment m_environment;
};
