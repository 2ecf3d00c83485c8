#include "OfficeProcesses.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace OfficeProcesses {

namespace {

qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (name) state ppid ...": the name may hold spaces, the rest does not.
    const QString text = QString::fromLatin1(stat.readAll());
    return text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).section(QLatin1Char(' '), 1, 1).toLongLong();
}

} // namespace

QList<Office> all()
{
    static const QRegularExpression pipe(QStringLiteral("--accept=pipe,name=([^;]+);"));
    static const QRegularExpression profile(QStringLiteral("-env:UserInstallation=(\\S+)"));
    QList<Office> offices;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QString args = QString::fromLocal8Bit(cmdline.readAll().replace('\0', ' '));
        if (!args.section(QLatin1Char(' '), 0, 0).endsWith(QLatin1String("/soffice.bin")))
            continue;
        offices.append({pid.toLongLong(), pipe.match(args).captured(1), profile.match(args).captured(1)});
    }
    return offices;
}

QList<Office> startedBy(qint64 parent)
{
    QList<Office> found;
    for (const Office &office : all()) {
        const qint64 starter = parentOf(office.pid);
        if (starter == parent || parentOf(starter) == parent)
            found.append(office);
    }
    return found;
}

} // namespace OfficeProcesses
