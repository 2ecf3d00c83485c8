#include "OfficeInstallation.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

QString programDirOf(const QString &soffice)
{
    if (soffice.isEmpty())
        return QString();
    // Debian's /usr/bin/soffice is a link into the installation's program/.
    const QFileInfo resolved(QFileInfo(soffice).canonicalFilePath());
    return resolved.exists() ? resolved.absolutePath() : QString();
}

} // namespace

OfficeInstallation OfficeInstallation::find()
{
    OfficeInstallation installation;
    if (qEnvironmentVariableIsSet("COVREL_OFFICE_PROGRAM_DIR")) {
        const QString dir = qEnvironmentVariable("COVREL_OFFICE_PROGRAM_DIR");
        installation.m_programDir = dir.isEmpty() ? QString() : programDirOf(dir + QStringLiteral("/soffice"));
        return installation;
    }
    QString dir = programDirOf(QStandardPaths::findExecutable(QStringLiteral("soffice")));
    if (dir.isEmpty())
        dir = programDirOf(QStringLiteral(COVREL_LO_PROGRAM_DIR "/soffice"));
    installation.m_programDir = dir;
    return installation;
}

bool OfficeInstallation::hasWriter() const
{
    return !m_programDir.isEmpty() && QFileInfo::exists(m_programDir + QStringLiteral("/libswlo.so"))
            && QFileInfo::exists(m_programDir + QStringLiteral("/types/offapi.rdb"));
}

bool OfficeInstallation::hasCalc() const
{
    return !m_programDir.isEmpty() && QFileInfo::exists(m_programDir + QStringLiteral("/libsclo.so"))
            && QFileInfo::exists(m_programDir + QStringLiteral("/types/offapi.rdb"));
}

QString OfficeInstallation::programDir() const { return m_programDir; }

QString OfficeInstallation::soffice() const { return m_programDir + QStringLiteral("/soffice"); }

QString OfficeInstallation::version() const
{
    // Read once per installation: the file is two megabytes and every application object asks.
    static QHash<QString, QString> versions;
    const auto known = versions.constFind(m_programDir);
    if (known != versions.constEnd())
        return *known;
    QFile xcd(m_programDir + QStringLiteral("/../share/registry/main.xcd"));
    if (!xcd.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression setupVersion(QStringLiteral("\"ooSetupVersion\"[^>]*>\\s*<value>([^<]*)</value>"));
    const QString version = setupVersion.match(QString::fromUtf8(xcd.readAll())).captured(1);
    versions.insert(m_programDir, version);
    return version;
}
