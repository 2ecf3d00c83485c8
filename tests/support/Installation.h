#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away installation of the built shell: the executable copied into a
// temporary directory (so its store, logs and single-instance key are its
// own), with translations and integrations beside it and content of the
// test's choosing. Runs the shell as a user would.
class Installation
{
public:
    // In a temporary directory under `parentDir` (the system's temporary
    // directory when empty), e.g. on a file system the test mounted.
    explicit Installation(const QString &parentDir = QString());

    QString dir() const;
    QString path(const QString &relative) const;
    void writeFile(const QString &relative, const QByteArray &bytes);
    void writeContent(const QString &relative, const QByteArray &bytes);

    // Runs the shell with files limited to `bytes` (RLIMIT_FSIZE), as a disk
    // that fills up would stop a write half way.
    void setFileSizeLimit(qint64 bytes);

    // Starts the shell headless with `arguments`; the caller waits on it.
    QProcess *start(const QStringList &arguments, QObject *parent = nullptr);
    // Runs the shell to its end (a safety net of a few minutes), returns the exit code.
    int run(const QStringList &arguments, QByteArray *stdOut = nullptr, QByteArray *stdErr = nullptr);
    // Reads the process's output until `marker` appears or the process ends.
    static bool waitForOutput(QProcess *process, const QByteArray &marker, QByteArray *seen = nullptr);
    // Reads the process's output until a whole line holding `marker` came and
    // returns that line (empty when the process ended first).
    static QByteArray waitForLine(QProcess *process, const QByteArray &marker);

    QStringList journalFiles() const;

private:
    QTemporaryDir m_dir;
    qint64 m_fileSizeLimit = -1;
};
