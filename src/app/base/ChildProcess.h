#pragma once

#include <QByteArray>
#include <QProcess>

// A child process of one of the shell's tools (7-Zip, the converter, git,
// the registry program). It dies with the shell, even a killed one; ending
// it ends everything it started; and its output channels can be read as the
// output comes, keeping only a bounded tail, so the shell's memory stays flat
// whatever the tool prints. Programs the page starts are not tools: they
// stay plain processes.
class ChildProcess : public QProcess
{
    Q_OBJECT
public:
    // Bytes of each channel kept for error texts and logs.
    static const int TAIL_BYTES = 16 * 1024;
    // A killed child is gone at once; the bound only keeps a wedged kernel
    // from freezing the window.
    static const int END_WAIT_MS = 5000;
    // Lowers every tool's time bound when set to a positive number of
    // milliseconds; read once. Tests use it so a hung tool ends fast.
    static const char *const TIME_LIMIT_VARIABLE;

    explicit ChildProcess(QObject *parent = nullptr);
    // A child still running is ended, unheard: nobody waits for its signals.
    ~ChildProcess() override;

    // From now on `channel` is read whenever output arrives, also during the
    // blocking waits; each piece goes out as received(), and only the last
    // TAIL_BYTES stay.
    void readAsItComes(ProcessChannel channel);
    QByteArray tail(ProcessChannel channel) const;

    // Kills the child and everything it started, and waits until it is gone.
    void end();

    // `defaultMs`, or the lower bound the variable TIME_LIMIT_VARIABLE asks for.
    static int timeLimit(int defaultMs);

signals:
    void received(QProcess::ProcessChannel channel, const QByteArray &bytes);

protected:
    void setupChildProcess() override;

private:
    void readChannel(ProcessChannel channel);

    qint64 m_shellPid;
    QByteArray m_tails[2];
};
