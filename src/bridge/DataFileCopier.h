#pragma once

#include <QObject>
#include <QString>

class CovrelBridge;
class QFileInfo;

// Hands a data file shipped with the content to the user as a copy: into the
// documents directory, or wherever the user points the save dialog. Answers
// are relayed by the bridge under the same signal names.
class DataFileCopier : public QObject
{
    Q_OBJECT
public:
    explicit DataFileCopier(CovrelBridge *bridge);

    void copyDateFile(const QString &handlerId, const QString &filePath, const QString &correctFileName,
                      bool saveToDefaultDir);

signals:
    void copyDataFileStarted(const QString &handlerId, const QString &filePath, const QString &savedTo);
    void copyDataFileFinished(const QString &handlerId, const QString &filePath, const QString &savedTo,
                              const QString &savedToDir);
    void copyDataFileCancelled(const QString &handlerId, const QString &filePath);
    void copyDataFileError(const QString &handlerId, const QString &filePath, const QString &savedTo,
                           const QString &errorCode, const QString &errorMessage);

private:
    void refuseName(const QString &handlerId, const QString &filePath);
    static QString targetName(const QFileInfo &source, const QString &correctFileName);
    void copyToDocsDir(const QString &handlerId, const QString &filePath, const QFileInfo &source, const QString &name);
    void copyThroughSaveDialog(const QString &handlerId, const QString &filePath, const QFileInfo &source,
                               const QString &name);
    void copyTo(const QString &handlerId, const QString &filePath, const QFileInfo &source, const QString &target);

    CovrelBridge *m_bridge;
};
