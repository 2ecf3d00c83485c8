#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class CovrelBridge;

// Files anywhere on the machine, in a working directory the page names on
// each call: read, save atomically, delete, copy and check in batches, list a
// folder. Every call answers before it returns; answers are relayed by the
// bridge under the same signal names.
class WorkDirFiles : public QObject
{
    Q_OBJECT
public:
    explicit WorkDirFiles(CovrelBridge *bridge);

    void openFile(const QString &handlerId, const QString &workDir, const QString &fname);
    void saveFile(const QString &handlerId, const QString &workDir, const QString &fname, const QString &data);
    void deleteFile(const QString &handlerId, const QString &workDir, const QString &fname);
    void copyFile(const QString &handlerId, const QStringList &from, const QString &workdirTo, const QStringList &to,
                  bool overwrite);
    void checkExisted(const QString &handlerId, const QString &workDir, const QStringList &paths);
    void getFilesInFolder(const QString &handlerId, const QString &workDir, const QString &pattern);

signals:
    void openFileFinished(const QString &handlerId, const QString &fname, bool status, const QString &content);
    void openFileError(const QString &handlerId, const QString &fname, const QString &errorCode, const QString &error);
    void saveFileFinished(const QString &handlerId, const QString &fname);
    void saveFileError(const QString &handlerId, const QString &fname, const QString &errorCode, const QString &error);
    void deleteFileFinished(const QString &handlerId, const QString &fname);
    void deleteFileError(const QString &handlerId, const QString &fname, const QString &errorCode,
                         const QString &error);
    void copyFileFinished(const QString &handlerId, const QString &from, const QString &to);
    void copyFileError(const QString &handlerId, const QString &from, const QString &to, const QString &errorCode,
                       const QString &error);
    void copyFileStatusFinished(const QString &handlerId, const QStringList &from, const QStringList &to,
                                const QStringList &status);
    void checkExistedFinished(const QString &handlerId, const QString &path);
    void checkExistedError(const QString &handlerId, const QString &path, const QString &errorCode,
                           const QString &error);
    void checkExistedStatusFinished(const QString &handlerId, const QStringList &path, const QStringList &status);
    void getFilesInFolderFinished(const QString &handlerId, const QString &workDir, const QStringList &files);
    void getFilesInFolderError(const QString &handlerId, const QString &workDir, const QString &error);

private:
    // `folder` + "/" + `name` with the system's separators: the one place
    // paths of this class become native.
    static QString nativePath(const QString &folder, const QString &name);
    static QString nativePath(const QString &path);
    // One item of a copyFile batch; true when it was copied.
    bool copyOne(const QString &handlerId, const QString &source, const QString &target, bool overwrite);
    // True when both paths lead to one existing file (links and "." parts resolved).
    static bool sameFile(const QString &first, const QString &second);
};
