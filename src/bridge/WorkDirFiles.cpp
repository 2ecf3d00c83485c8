#include "WorkDirFiles.h"

#include "CovrelBridge.h"
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
} // namespace

WorkDirFiles::WorkDirFiles(CovrelBridge *bridge)
    : QObject(bridge)
{
    connect(this, &WorkDirFiles::openFileFinished, bridge, &CovrelBridge::openFileFinished);
    connect(this, &WorkDirFiles::openFileError, bridge, &CovrelBridge::openFileError);
    connect(this, &WorkDirFiles::saveFileFinished, bridge, &CovrelBridge::saveFileFinished);
    connect(this, &WorkDirFiles::saveFileError, bridge, &CovrelBridge::saveFileError);
    connect(this, &WorkDirFiles::deleteFileFinished, bridge, &CovrelBridge::deleteFileFinished);
    connect(this, &WorkDirFiles::deleteFileError, bridge, &CovrelBridge::deleteFileError);
    connect(this, &WorkDirFiles::copyFileFinished, bridge, &CovrelBridge::copyFileFinished);
    connect(this, &WorkDirFiles::copyFileError, bridge, &CovrelBridge::copyFileError);
    connect(this, &WorkDirFiles::copyFileStatusFinished, bridge, &CovrelBridge::copyFileStatusFinished);
    connect(this, &WorkDirFiles::checkExistedFinished, bridge, &CovrelBridge::checkExistedFinished);
    connect(this, &WorkDirFiles::checkExistedError, bridge, &CovrelBridge::checkExistedError);
    connect(this, &WorkDirFiles::checkExistedStatusFinished, bridge, &CovrelBridge::checkExistedStatusFinished);
    connect(this, &WorkDirFiles::getFilesInFolderFinished, bridge, &CovrelBridge::getFilesInFolderFinished);
    connect(this, &WorkDirFiles::getFilesInFolderError, bridge, &CovrelBridge::getFilesInFolderError);
}

QString WorkDirFiles::nativePath(const QString &folder, const QString &name)
{
    return nativePath(folder + QLatin1Char('/') + name);
}

QString WorkDirFiles::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

void WorkDirFiles::openFile(const QString &handlerId, const QString &workDir, const QString &fname)
{
    qDebug().noquote() << translated("Получен запроc на метод openFile. Id: %1 path: %2 contentPath: %3")
                                  .arg(handlerId, fname, workDir);
    const QString path = nativePath(workDir, fname);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        emit openFileError(handlerId, path, QStringLiteral("cannotOpenFile"),
                           translated("Cannot open file: %1").arg(file.errorString()));
        return;
    }
    const QString content = TextFiles::readAll(file);
    file.close();
    qDebug().noquote() << content;
    emit openFileFinished(handlerId, path, true, content);
}

void WorkDirFiles::saveFile(const QString &handlerId, const QString &workDir, const QString &fname, const QString &data)
{
    qDebug().noquote() << translated("Получен запроc на метод saveFile. Id: %1 path: %2").arg(handlerId, fname);
    const QString path = nativePath(workDir, fname);
    const QString errorSave = QStringLiteral("errorSave");
    QString errorText;
    switch (TextFiles::saveAtomically(path, TextFiles::withCrLf(data), &errorText)) {
    case TextFiles::SaveResult::OpenFailed:
        emit saveFileError(handlerId, fname, errorSave, translated("Cannot save file: ") + errorText);
        break;
    case TextFiles::SaveResult::CommitFailed:
        emit saveFileError(handlerId, fname, errorSave, translated("Failed to save: ") + errorText);
        break;
    case TextFiles::SaveResult::Saved:
        emit saveFileFinished(handlerId, path);
        break;
    }
}

void WorkDirFiles::deleteFile(const QString &handlerId, const QString &workDir, const QString &fname)
{
    qDebug().noquote() << translated("Получен запроc на метод deleteFile. Id: %1 path: %2").arg(handlerId, fname);
    const QString path = nativePath(workDir, fname);
    if (!QFile::exists(path))
        emit deleteFileError(handlerId, fname, QStringLiteral("notFound"), translated("Failed file not found"));
    else if (!QFile::remove(path))
        emit deleteFileError(handlerId, fname, QStringLiteral("errorDelete"), translated("Failed to delete"));
    else
        emit deleteFileFinished(handlerId, path);
}

void WorkDirFiles::copyFile(const QString &handlerId, const QStringList &from, const QString &workdirTo,
                            const QStringList &to, bool overwrite)
{
    qDebug().noquote() << QStringLiteral(
                                  "Получен запроc на метод copyFile. Id: %1 path: %2 pathContent: %3 workdirTo: %4")
                                  .arg(handlerId, from.join(SEPARATOR), to.join(SEPARATOR), workdirTo);
    if (from.size() != to.size()) {
        emit copyFileError(handlerId, from.join(SEPARATOR), to.join(SEPARATOR), QStringLiteral("errorInput"),
                           translated("Different size FROM and TO array."));
        return;
    }
    QStringList status;
    for (int i = 0; i < from.size(); ++i) {
        const bool copied = copyOne(handlerId, nativePath(from.at(i)), nativePath(workdirTo, to.at(i)), overwrite);
        status.append(copied ? OK_STATUS : FAILED_STATUS);
    }
    emit copyFileStatusFinished(handlerId, from, to, status);
}

bool WorkDirFiles::copyOne(const QString &handlerId, const QString &source, const QString &target, bool overwrite)
{
    if (source.isEmpty()) {
        emit copyFileError(handlerId, source, target, QStringLiteral("errorPathEmpty"),
                           translated("Error, one from file paths is empty."));
        return false;
    }
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) {
        emit copyFileError(handlerId, source, target, QStringLiteral("errorCreateDir"),
                           translated("Error create dir. ") + folder);
        return false;
    }
    if (!QFileInfo::exists(source)) {
        emit copyFileError(handlerId, source, target, QStringLiteral("errorFile"),
                           translated("Source file is not exist. ") + source);
        return false;
    }
    if (QFileInfo::exists(target)) {
        if (!overwrite) {
            emit copyFileError(handlerId, source, target, QStringLiteral("errorFile"),
                               translated("File is already exists. ") + target);
            return false;
        }
        // The file onto itself is already where it should be; removing the
        // target first would delete the only copy.
        if (sameFile(source, target)) {
            emit copyFileFinished(handlerId, source, target);
            return true;
        }
        // A target that cannot be removed makes the copy below fail.
        QFile::remove(target);
    }
    if (!QFile::copy(source, target)) {
        emit copyFileError(handlerId, source, target, QStringLiteral("errorCopyFile"),
                           translated("Error copy files. "));
        return false;
    }
    emit copyFileFinished(handlerId, source, target);
    return true;
}

bool WorkDirFiles::sameFile(const QString &first, const QString &second)
{
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

void WorkDirFiles::checkExisted(const QString &handlerId, const QString &workDir, const QStringList &paths)
{
    qDebug().noquote() << QStringLiteral("Получен запроc на метод checkExisted. Id: %1 path: %2 ")
                                  .arg(handlerId, paths.join(QStringLiteral(" | ")));
    QStringList status;
    for (const QString &path : paths) {
        const QString fullPath = nativePath(workDir, path);
        if (QFileInfo::exists(fullPath)) {
            status.append(OK_STATUS);
            emit checkExistedFinished(handlerId, fullPath);
        } else {
            status.append(FAILED_STATUS);
            emit checkExistedError(handlerId, fullPath, QStringLiteral("errorNotFound"),
                                   translated("File not found. "));
        }
    }
    emit checkExistedStatusFinished(handlerId, paths, status);
}

void WorkDirFiles::getFilesInFolder(const QString &handlerId, const QString &workDir, const QString &pattern)
{
    // A relative folder is under the working directory; an absolute one is
    // taken as it is (appending it to the working directory would report an
    // existing folder as missing).
    const QDir folder(QDir::isAbsolutePath(workDir) ? workDir : QDir::currentPath() + QLatin1Char('/') + workDir);
    if (!folder.exists()) {
        emit getFilesInFolderError(handlerId, workDir, QStringLiteral("Указанная папка не существует"));
        return;
    }
    // Without QDir::Hidden and QDir::System, dot files and special files stay out.
    const QStringList names = folder.entryList(QStringList{pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    emit getFilesInFolderFinished(handlerId, workDir, names);
}
