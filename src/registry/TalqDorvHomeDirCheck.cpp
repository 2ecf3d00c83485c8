#include "TalqDorvHomeDirCheck.h"

#include "TalqDorvProcess.h"

#include <QFileInfo>

namespace TalqDorv {

HomeDirCheck::HomeDirCheck(const QString &homeDir)
    : m_givenPath(QString(homeDir).replace(QLatin1Char('\\'), QLatin1Char('/')))
{
    const QFileInfo given(m_givenPath);
    m_isFilePath = !m_givenPath.isEmpty() && given.isFile();
    m_dir = m_isFilePath ? given.absoluteDir() : QDir(m_givenPath);
}

bool HomeDirCheck::isFilePath() const { return m_isFilePath; }

QString HomeDirCheck::givenNativePath() const { return Process::nativePath(m_givenPath); }

QString HomeDirCheck::absoluteDirPath() const { return m_dir.absolutePath(); }

QString HomeDirCheck::nativeDirPath() const
{
    return m_givenPath.isEmpty() ? QString() : Process::nativePath(m_dir.path());
}

// An empty path would otherwise mean the working directory of the process.
bool HomeDirCheck::dirExists() const { return !m_givenPath.isEmpty() && m_dir.exists(); }

QList<HomeDirCheck::Problem> HomeDirCheck::problems() const
{
    const QString dirPath = nativeDirPath();
    QList<Problem> found;
    if (!QFileInfo::exists(m_dir.absoluteFilePath(QStringLiteral("dorv.exe")))) {
        found << Problem{QStringLiteral("В директории '%1' нет файла dorv.exe.").arg(dirPath),
                         QStringLiteral("incorrect_dir")};
    }
    if (!QFileInfo::exists(m_dir.absoluteFilePath(QStringLiteral("DB.mv.db")))
        && !QFileInfo::exists(m_dir.absoluteFilePath(QStringLiteral("db.mv.db")))) {
        found << Problem{QStringLiteral("В директории '%1' нет файла базы 'DB.mv.db'.").arg(dirPath),
                         QStringLiteral("file_db_not_found")};
    }
    return found;
}

QString HomeDirCheck::joinedMessages(const QList<Problem> &problems)
{
    QStringList messages;
    for (const Problem &problem : problems)
        messages << problem.message;
    return messages.join(QLatin1Char('\n'));
}

QString HomeDirCheck::joinedCodes(const QList<Problem> &problems)
{
    QStringList codes;
    for (const Problem &problem : problems)
        codes << problem.code;
    codes.removeDuplicates();
    return codes.join(QLatin1Char('\n'));
}

} // namespace TalqDorv
