#include "ChildProcess.h"

#include "ChildLifetime.h"

const char *const ChildProcess::TIME_LIMIT_VARIABLE = "COVREL_TOOL_TIME_LIMIT_MS";

namespace {

// Drops the bytes of a character cut in two at the front of a tail.
void trimToCharacter(QByteArray &tail)
{
    int start = 0;
    while (start < tail.size() && (static_cast<unsigned char>(tail.at(start)) & 0xC0) == 0x80)
        ++start;
    tail.remove(0, start);
}

} // namespace

ChildProcess::ChildProcess(QObject *parent)
    : QProcess(parent)
    , m_shellPid(ChildLifetime::shellPid())
{ }

ChildProcess::~ChildProcess()
{
    if (state() == NotRunning)
        return;
    disconnect();
    end();
}

void ChildProcess::readAsItComes(ProcessChannel channel)
{
    if (channel == StandardOutput)
        connect(this, &QProcess::readyReadStandardOutput, this, [this] { readChannel(StandardOutput); });
    else
        connect(this, &QProcess::readyReadStandardError, this, [this] { readChannel(StandardError); });
}

void ChildProcess::readChannel(ProcessChannel channel)
{
    const QByteArray bytes = channel == StandardOutput ? readAllStandardOutput() : readAllStandardError();
    if (bytes.isEmpty())
        return;
    QByteArray &tail = m_tails[channel];
    tail += bytes;
    if (tail.size() > TAIL_BYTES) {
        tail.remove(0, tail.size() - TAIL_BYTES);
        trimToCharacter(tail);
    }
    emit received(channel, bytes);
}

QByteArray ChildProcess::tail(ProcessChannel channel) const { return m_tails[channel]; }

void ChildProcess::end()
{
    if (state() == NotRunning)
        return;
    ChildLifetime::killGroup(processId());
    kill();
    waitForFinished(END_WAIT_MS);
}

int ChildProcess::timeLimit(int defaultMs)
{
    static const int lowered = qEnvironmentVariableIntValue(TIME_LIMIT_VARIABLE);
    return lowered > 0 ? qMin(lowered, defaultMs) : defaultMs;
}

void ChildProcess::setupChildProcess() { ChildLifetime::bindToShell(m_shellPid); }
