#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class ChildProcess;

namespace TalqDorv {

// Runner of the registry integration program: one child process spoken to
// line by line over its standard streams. Paths handed to the child become
// native here and nowhere else. Its standard input stays open: that is the
// request channel. Its error output is read as it comes (a tail kept), and
// standard output that arrives while no one waits for it is dropped, so a
// program that prints endlessly does not fill the shell's memory.
class Process : public QObject
{
    Q_OBJECT
public:
    explicit Process(QObject *parent);

    void setProgramPath(const QString &path);
    void addArgument(const QString &argument);
    void addPathArgument(const QString &path);
    QString program() const;
    QStringList arguments() const;

    void start();
    bool waitForStarted(int msecs);
    qint64 processId() const;
    bool isRunning() const;
    QString errorString() const;

    // While true, standard output is kept for readLine(); otherwise dropped as it comes.
    void setExpectingOutput(bool expecting);
    qint64 bufferedBytes() const;
    bool canReadLine() const;
    QByteArray readLine();
    // Waits for output beyond what is buffered; false when the deadline
    // passed or the program has ended.
    bool waitForOutput(const QDeadlineTimer &deadline);
    QByteArray peekBuffered() const;
    QByteArray readBuffered();

    qint64 write(const QByteArray &bytes);
    bool waitForBytesWritten(int msecs);

    // Exit code or crash and the program's last error output, for messages.
    QString exitDescription();
    QByteArray takeErrorOutput();
    void kill();

    static QString nativePath(const QString &path);

private:
    void dropUnexpectedOutput();

    ChildProcess *m_process;
    bool m_expectingOutput = false;
};

} // namespace TalqDorv
