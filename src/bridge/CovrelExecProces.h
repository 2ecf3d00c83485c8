#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of a program the page names: prepares the child process, checks the
// program file, starts it and turns the child's events into three signals.
// execPath travels through every signal exactly as the page gave it.
class CovrelExecProces : public QObject
{
    Q_OBJECT
public:
    // The child process object gets the same parent as this run (the bridge).
    explicit CovrelExecProces(QObject *parent);

    QString handlerId() const;
    void setHandlerId(const QString &handlerId);
    QString execPath() const;
    void setExecPath(const QString &execPath);
    QStringList arguments() const;
    void setArguments(const QStringList &arguments);
    QString workingDir() const;
    void setWorkingDir(const QString &workingDir);

    // The page's paths with every backslash turned into a slash.
    QString correctExecPath() const;
    QString correctWorkingDir() const;

    void init(const QString &handlerId, const QString &execPath, const QStringList &arguments,
              const QString &workingDir);
    // Checks the program file; on failure emits execError and returns false.
    bool valid();
    void start();
    // Frees this run and its child process object once no answer can follow.
    void release();

signals:
    void execStarted(const QString &handlerId, const QString &execPath);
    void execFinished(const QString &handlerId, const QString &execPath);
    void execError(const QString &handlerId, const QString &execPath, const QString &errorMessage);

private slots:
    void _processStarted();
    void _processFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void _processError(QProcess::ProcessError error);
    void _proceesStateChanged(QProcess::ProcessState newState);

private:
    void prepareProcess();
    void failAndRelease(const QString &errorMessage);

    QString m_handlerId;
    QString m_execPath;
    QStringList m_arguments;
    QString m_workingDir;
    QProcess *m_process = nullptr;
};
