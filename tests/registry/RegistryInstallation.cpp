#include "RegistryInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace RegistryInstallation {

const QByteArray RECORDS = R"SQL(
INSERT INTO DORV VALUES (7, 'Тестовый', 'ул. Тестовая, 1', '+7 111', NULL);
INSERT INTO DORV VALUES (8, 'Закрытый', NULL, NULL, 'слит с "Тестовым" по C:\дела\2\');
INSERT INTO DORV VALUES (9, 'Пустой', 'ул. Пустая, 9', NULL, NULL);
INSERT INTO ELECTION (DORV_NUMBER, TITLE, ELECTION_DATE, VOTERS) VALUES
  (7, 'Выборы совета', DATE '2020-01-02', 10), (7, 'Повторные', DATE '2020-02-03', 12);
INSERT INTO MEMBER (DORV_NUMBER, FULL_NAME, ROLE, PHONE) VALUES
  (7, 'Иван Иванов', 'член', NULL), (7, 'Пётр Петров', 'председатель', '5');
)SQL";

QString jarPath()
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/talqdorv/talqdorv.jar");
}

QString systemJava() { return QStandardPaths::findExecutable(QStringLiteral("java")); }

void touch(const QString &dir, const QStringList &relativePaths)
{
    for (const QString &relative : relativePaths) {
        const QString path = dir + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
    }
}

namespace {

QString makeDatabase(const QString &dir, const QByteArray &records, const QString &dbFileName)
{
    const QString recordsPath = dir + QStringLiteral("/../records.sql");
    QFile recordsFile(recordsPath);
    if (!recordsFile.open(QIODevice::WriteOnly) || recordsFile.write(records) != records.size())
        return QStringLiteral("cannot write ") + recordsPath;
    recordsFile.close();
    QString base = dir + QLatin1Char('/') + dbFileName;
    base.chop(QStringLiteral(".mv.db").size());
    QProcess java;
    java.start(systemJava(),
               {QStringLiteral("-Dfile.encoding=UTF-8"), QStringLiteral("-jar"), jarPath(), QStringLiteral("-db"), base,
                QStringLiteral("-create"), QStringLiteral("-records"), recordsPath});
    java.closeWriteChannel();
    if (!java.waitForFinished(60000) || java.exitCode() != 0)
        return QStringLiteral("database not made: ") + QString::fromUtf8(java.readAllStandardError());
    return QString();
}

} // namespace

QString make(const QString &dir, int parts, const QByteArray &records, const QString &dbFileName)
{
    QDir().mkpath(dir);
    if (parts & DorvExe)
        touch(dir, {QStringLiteral("dorv.exe")});
    if (parts & Jre) {
        QDir().mkpath(dir + QStringLiteral("/jre/bin"));
        if (!QFile::link(systemJava(), dir + QStringLiteral("/jre/bin/java")))
            return QStringLiteral("cannot link java");
    }
    if (parts & Database)
        return makeDatabase(dir, records, dbFileName);
    return QString();
}

QString writeFakeJava(const QString &dir, const QByteArray &scriptBody)
{
    const QString path = dir + QStringLiteral("/bin/java");
    QDir().mkpath(dir + QStringLiteral("/bin"));
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\n" + scriptBody + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

} // namespace RegistryInstallation
