#include "MountTable.h"

#include <QFile>

namespace {

// mountinfo escapes space, tab, newline and backslash as octal "\040" etc.
QString unescapeMountPath(const QByteArray &field)
{
    QByteArray out;
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field.at(i));
    }
    return QString::fromUtf8(out);
}

} // namespace

QString MountTable::defaultSourcePath() { return QStringLiteral("/proc/self/mountinfo"); }

QSet<QString> MountTable::read(const QString &sourcePath)
{
    QSet<QString> mounts;
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return mounts;
    // /proc files report size 0: read until the end instead of by size.
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        QString mountPoint = unescapeMountPath(fields.at(4));
        if (!mountPoint.endsWith(QLatin1Char('/')))
            mountPoint += QLatin1Char('/');
        mounts.insert(mountPoint);
    }
    return mounts;
}
