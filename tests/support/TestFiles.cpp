#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace TestFiles {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush())
        return true;
    QTest::qFail(qPrintable(QStringLiteral("cannot write %1: %2").arg(path, file.errorString())), __FILE__, __LINE__);
    return false;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return file.readAll();
    return "<cannot read " + path.toUtf8() + ">";
}

} // namespace TestFiles
