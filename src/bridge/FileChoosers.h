#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class CovrelBridge;

// The page's directory and file choosers, and the choice of the documents
// directory. Every dialog goes through DialogService and runs inside the
// call; answers are relayed by the bridge under the same signal names.
class FileChoosers : public QObject
{
    Q_OBJECT
public:
    explicit FileChoosers(CovrelBridge *bridge);

    void showFileDialogForSelectDir(const QString &handlerId);
    void showFileDialogForSelectFile(const QString &handlerId, const QStringList &fileFilters);
    QString changeStoreDocsDirPath();

signals:
    void showFileDialogForSelectDirFinished(const QString &handlerId, const QString &str);
    void showFileDialogForSelectFileFinished(const QString &handlerId, const QString &fileName);

private:
    CovrelBridge *m_bridge;
};
