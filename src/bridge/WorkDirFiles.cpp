#include "WorkDirFiles.h"

#include "PageNames.h"
#include "TextFiles.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString OK_STATUS = QStringLiteral("ok");
const QString FAILED_STATUS = QStringLiteral("false");
const QString SEPARATOR = QStringLiteral("|");

// Texts the translation catalogue may replace, under the bridge's context.
QString translated(const char *text) { return QCoreApplication::translate("CovrelBridge", text); }

bool usable(const QString &folder, const QString &name, const QString &operation)
{
    return PageNames::isUsable(folder, operation) && PageNames::isUsable(name, operation);
}
} // namespace

WorkDirFiles::WorkDirFiles(QObject *parent)
    : QObject(parent)
{ }

QString WorkDirFiles::nativePath(const QString &folder, const QString &name)
{
    return nativePath(folder + QLatin1Char('/') + name);
}

QString WorkDirFiles::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

WorkDirFiles::Outcome WorkDirFiles::invalidName(const QString &path)
{
    return {PageNames::echo(path), PageNames::INVALID_NAME, translated("Invalid file name. ")};
}

QString WorkDirFiles::status(const Outcome &outcome) { return outcome.ok() ? OK_STATUS : FAILED_STATUS; }

WorkDirFiles::Outcome WorkDirFiles::openFile(const QString &handlerId, const QString &workDir, const QString &fname,
                                             QString *content)
{
    qDebug().noquote() << translated("Получен запроc на метод openFile. Id: %1 path: %2 contentPath: %3")
                                  .arg(handlerId, fname, workDir);
    const QString path = nativePath(workDir, fname);
    if (!usable(workDir, fname, QStringLiteral("openFile")))
        return invalidName(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {path, QStringLiteral("cannotOpenFile"), translated("Cannot open file: %1").arg(file.errorString())};
    const TextFiles::Read read =
            TextFiles::readForAnswer(file, QStringLiteral("openFile"), handlerId, handlerId.size() + path.size());
    if (!read.ok())
        return {path, read.errorCode, read.errorMessage};
    *content = read.content;
    qDebug().noquote() << *content;
    return {path, QString(), QString()};
}

WorkDirFiles::Outcome WorkDirFiles::saveFile(const QString &handlerId, const QString &workDir, const QString &fname,
                                             const QString &data)
{
    qDebug().noquote() << translated("Получен запроc на метод saveFile. Id: %1 path: %2").arg(handlerId, fname);
    const QString path = nativePath(workDir, fname);
    if (!usable(workDir, fname, QStringLiteral("saveFile")))
        return invalidName(path);
    const QString errorSave = QStringLiteral("errorSave");
    QString errorText;
    switch (TextFiles::saveAtomically(path, TextFiles::withCrLf(data), &errorText)) {
    case TextFiles::SaveResult::OpenFailed:
        return {path, errorSave, translated("Cannot save file: ") + errorText};
    case TextFiles::SaveResult::CommitFailed:
        return {path, errorSave, translated("Failed to save: ") + errorText};
    case TextFiles::SaveResult::Saved:
        break;
    }
    return {path, QString(), QString()};
}

WorkDirFiles::Outcome WorkDirFiles::deleteFile(const QString &handlerId, const QString &workDir, const QString &fname)
{
    qDebug().noquote() << translated("Получен запроc на метод deleteFile. Id: %1 path: %2").arg(handlerId, fname);
    const QString path = nativePath(workDir, fname);
    if (!usable(workDir, fname, QStringLiteral("deleteFile")))
        return invalidName(path);
    if (!QFile::exists(path))
        return {path, QStringLiteral("notFound"), translated("Failed file not found")};
    if (!QFile::remove(path))
        return {path, QStringLiteral("errorDelete"), translated("Failed to delete")};
    return {path, QString(), QString()};
}

QList<WorkDirFiles::Copy> WorkDirFiles::copyFile(const QString &handlerId, const QStringList &from,
                                                 const QString &workdirTo, const QStringList &to, bool overwrite,
                                                 Outcome *refused)
{
    qDebug().noquote() << QStringLiteral(
                                  "Получен запроc на метод copyFile. Id: %1 path: %2 pathContent: %3 workdirTo: %4")
                                  .arg(handlerId, from.join(SEPARATOR), to.join(SEPARATOR), workdirTo);
    if (from.size() != to.size()) {
        *refused = {QString(), QStringLiteral("errorInput"), translated("Different size FROM and TO array.")};
        return {};
    }
    QList<Copy> copies;
    for (int i = 0; i < from.size(); ++i) {
        const QString source = nativePath(from.at(i));
        const QString target = nativePath(workdirTo, to.at(i));
        if (!PageNames::isUsable(from.at(i), QStringLiteral("copyFile"))
            || !usable(workdirTo, to.at(i), QStringLiteral("copyFile")))
            copies.append({PageNames::echo(source), PageNames::echo(target), invalidName(target)});
        else
            copies.append({source, target, copyOne(source, target, overwrite)});
    }
    return copies;
}

WorkDirFiles::Outcome WorkDirFiles::copyOne(const QString &source, const QString &target, bool overwrite)
{
    if (source.isEmpty())
        return {target, QStringLiteral("errorPathEmpty"), translated("Error, one from file paths is empty.")};
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return {target, QStringLiteral("errorCreateDir"), translated("Error create dir. ") + folder};
    if (!QFileInfo::exists(source))
        return {target, QStringLiteral("errorFile"), translated("Source file is not exist. ") + source};
    if (QFileInfo::exists(target)) {
        if (!overwrite)
            return {target, QStringLiteral("errorFile"), translated("File is already exists. ") + target};
        // The file onto itself is already where it should be; removing the
        // target first would delete the only copy.
        if (sameFile(source, target))
            return {target, QString(), QString()};
        // A target that cannot be removed makes the copy below fail.
        QFile::remove(target);
    }
    if (!QFile::copy(source, target))
        return {target, QStringLiteral("errorCopyFile"), translated("Error copy files. ")};
    return {target, QString(), QString()};
}

bool WorkDirFiles::sameFile(const QString &first, const QString &second)
{
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

QList<WorkDirFiles::Outcome> WorkDirFiles::checkExisted(const QString &handlerId, const QString &workDir,
                                                        const QStringList &paths)
{
    qDebug().noquote() << QStringLiteral("Получен запроc на метод checkExisted. Id: %1 path: %2 ")
                                  .arg(handlerId, paths.join(QStringLiteral(" | ")));
    QList<Outcome> outcomes;
    for (const QString &path : paths) {
        const QString fullPath = nativePath(workDir, path);
        if (!usable(workDir, path, QStringLiteral("checkExisted")))
            outcomes.append(invalidName(fullPath));
        else if (QFileInfo::exists(fullPath))
            outcomes.append({fullPath, QString(), QString()});
        else
            outcomes.append({fullPath, QStringLiteral("errorNotFound"), translated("File not found. ")});
    }
    return outcomes;
}

WorkDirFiles::Outcome WorkDirFiles::getFilesInFolder(const QString &handlerId, const QString &workDir,
                                                     const QString &pattern, QStringList *files)
{
    Q_UNUSED(handlerId)
    if (!PageNames::isUsable(workDir, QStringLiteral("getFilesInFolder")))
        return {PageNames::echo(workDir), PageNames::INVALID_NAME, QStringLiteral("Недопустимое имя папки")};
    // A relative folder is under the working directory; an absolute one is
    // taken as it is (appending it to the working directory would report an
    // existing folder as missing).
    const QDir folder(QDir::isAbsolutePath(workDir) ? workDir : QDir::currentPath() + QLatin1Char('/') + workDir);
    if (!folder.exists())
        return {workDir, QStringLiteral("notFound"), QStringLiteral("Указанная папка не существует")};
    // Without QDir::Hidden and QDir::System, dot files and special files stay out.
    *files = folder.entryList(QStringList{pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    return {workDir, QString(), QString()};
}
