#pragma once

#include <QDir>
#include <QObject>
#include <QString>

namespace Zip {

class Process7Zip;

// Finds 7-Zip and offers the archive operations: the asynchronous zipDir()
// for the page, and blocking unpack/pack plus temporary-file helpers for
// DOCX package processing.
class Processor : public QObject
{
    Q_OBJECT
public:
    // Time a blocking unpack or pack may take before it is given up (and killed).
    static const int BLOCKING_TIMEOUT_MS = 30000;
    // Time one 7-Zip run of zipDir may take before it is ended and answered
    // with zipDirError: an hour packs far more than any folder a page keeps.
    static const int ZIP_DIR_RUN_LIMIT_MS = 60 * 60 * 1000;

    explicit Processor(QObject *parent = nullptr);

    // The 7-Zip setting when given, else integrations/7zip/7z.exe or
    // integrations/7zip/7z beside the application; a null string when none.
    QString getPathTo7ZipExe() const;
    bool isAvailable() const;
    // Empty when available, otherwise "exe_file_not_exists".
    QString getAvailableErrorCode() const;

    // Packs `dirPath` (as the archive's top folder, renamed to `prefix` when
    // one is given) into `pathToZip`. Answers zipDirFinished once 7-Zip ended
    // with exit code 0 and the archive exists; otherwise zipDirError, with the
    // cause logged and an archive this call began removed. False, with no
    // signal at all, when 7-Zip is not available.
    bool zipDir(const QString &dirPath, const QString &pathToZip, const QString &prefix);

    // Copies `filePath` to `dirPath`/<base name>.zip (base name: up to the first dot).
    // The new path, or an empty string when the copy failed.
    QString zipToDir(const QString &filePath, const QString &dirPath, bool overwrite);
    // zipToDir() into `dir`, creating it (one level) when missing.
    QString zipToTmpDir2(const QString &filePath, const QDir &dir, bool overwrite);
    // zipToDir() into the system temporary directory.
    QString zipToTmpDir(const QString &filePath, bool overwrite);
    // The store temporary directory, or the system one when that has no path.
    QDir getTempDir() const;
    // Removes `dir` with its contents; true when it did not exist.
    bool cleanupDir(const QDir &dir);

    // Blocking: empties `dir` and unpacks `zipFile` into it. True when 7-Zip
    // ended within the time limit with exit code 0.
    bool extractToDir(const QString &zipFile, const QDir &dir);
    // Blocking: packs the contents of `dir` (paths relative to it) into `zipFile`.
    // True when 7-Zip ended within the time limit with exit code 0.
    bool archiveDir(const QString &zipFile, const QDir &dir);

signals:
    void zipDirFinished(const QString &dirPath, const QString &pathToZip, const QString &prefix = QString());
    void zipDirError(const QString &dirPath, const QString &pathToZip, const QString &prefix = QString());

private:
    struct ZipDirCall
    {
        QString dirPath;
        QString pathToZip;
        QString prefix;
        bool archiveIsNew;
    };
    void renameTopFolder(const ZipDirCall &call);
    Process7Zip *newZipDirRun(const ZipDirCall &call);
    bool zipDirRunFailed(const ZipDirCall &call, const Process7Zip *run);
    void failZipDir(const ZipDirCall &call, const QString &cause);
    bool runBlocking(const QString &command, const QStringList &arguments);
};

} // namespace Zip
