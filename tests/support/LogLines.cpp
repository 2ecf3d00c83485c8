#include "LogLines.h"

#include <QtGlobal>

namespace {
QStringList *g_lines = nullptr;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && g_lines)
        g_lines->append(message);
    else if (g_previous)
        g_previous(type, context, message);
}
} // namespace

LogLines::LogLines()
{
    g_lines = &m_lines;
    g_previous = qInstallMessageHandler(collect);
}

LogLines::~LogLines()
{
    qInstallMessageHandler(g_previous);
    g_lines = nullptr;
}

QStringList LogLines::lines() const { return m_lines; }

bool LogLines::contains(const QString &line) const { return m_lines.contains(line); }

QStringList LogLines::startingWith(const QString &prefix) const
{
    QStringList found;
    for (const QString &line : m_lines) {
        if (line.startsWith(prefix))
            found.append(line);
    }
    return found;
}
