#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the command-line git client in one working directory, one command at a
// time, blocking until it ends or the wait runs out. Every child gets an
// environment in which git can neither prompt nor pop up a window, so a
// missing or wrong password ends the command instead of hanging it.
class GitRunner : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        bool started = false;
        bool finished = false; // ended (normally or by a crash) within the wait
        bool crashed = false;
        int exitCode = -1;
        QString standardOutput;
        QString standardError;

        bool succeeded() const { return finished && !crashed && exitCode == 0; }
        // Standard error, or standard output when git wrote nothing there.
        QString output() const { return standardError.isEmpty() ? standardOutput : standardError; }
    };

    explicit GitRunner(const QString &workingDir, QObject *parent = nullptr);

    // Adds or replaces one variable of every later child's environment.
    void setEnvironmentValue(const QString &name, const QString &value);

    Result run(const QStringList &arguments, int waitMs);

    // The text with the password part of every address replaced, fit for a log.
    static QString masked(const QString &text);

private:
    static QProcessEnvironment quietEnvironment();
    static QString outcomeText(const Result &result, int waitMs);

    QString m_workingDir;
    QProcessEnvironment m_environment;
};
