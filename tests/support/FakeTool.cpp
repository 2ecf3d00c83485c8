#include "FakeTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FakeTool {

const QByteArray HANG = "exec sleep 1000000\n";
const QByteArray ENDLESS_OUTPUT = "yes 'output of a tool that prints for ever' | head -c 134217728\n"
                                  "yes 'output of a tool that prints for ever' | head -c 134217728 >&2\n"
                                  ": > \"$0.flooded\"\n"
                                  "while :; do echo still printing; echo still printing >&2; sleep 0.05; done\n";
const QByteArray CRASH = "kill -SEGV $$\n";

QByteArray failingExit(int exitCode)
{
    return "echo 'fake tool failed on purpose' >&2\nexit " + QByteArray::number(exitCode) + "\n";
}

QString write(const QString &path, const QByteArray &body)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write("#!/bin/sh\necho $$ > \"$0.pid\"\n" + body);
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

qint64 pid(const QString &path)
{
    QFile file(path + QStringLiteral(".pid"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

bool flooded(const QString &path) { return QFileInfo::exists(path + QStringLiteral(".flooded")); }

bool gone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // "<pid> (<name>) <state> ...": the state follows the last parenthesis.
    const QByteArray line = stat.readAll();
    const int nameEnd = line.lastIndexOf(')');
    return nameEnd >= 0 && line.mid(nameEnd + 2, 1) == "Z";
}

} // namespace FakeTool
