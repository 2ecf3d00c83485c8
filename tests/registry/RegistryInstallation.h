#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Registry installations laid out by a test in its own directory: the
// placeholder dorv.exe, jre/bin/java linked to the system's Java and a real
// H2 database made by the integration program from the test's records.
namespace RegistryInstallation {

// Two open units (7 and 9), a closed one (8) whose reason holds quotes and
// backslashes, elections and members of unit 7.
extern const QByteArray RECORDS;

QString jarPath();
QString systemJava();

enum Part { DorvExe = 1, Jre = 2, Database = 4, Everything = DorvExe | Jre | Database };

// Lays out `dir` (created) with the given parts; the database is named
// `dbFileName` and holds `records`. Returns an empty string or what failed.
QString make(const QString &dir, int parts = Everything, const QByteArray &records = RECORDS,
             const QString &dbFileName = QStringLiteral("DB.mv.db"));

// Writes `dir`/bin/java as an executable shell script with the given body:
// a stand-in for Java that misbehaves on purpose.
QString writeFakeJava(const QString &dir, const QByteArray &scriptBody);

// Creates empty files (with their folders) under dir.
void touch(const QString &dir, const QStringList &relativePaths);

} // namespace RegistryInstallation
