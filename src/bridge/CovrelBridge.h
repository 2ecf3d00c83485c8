#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QWidget;
// File services (store, content data, choosers, working-directory files).
class DataFileCopier;
class FileChoosers;
class StoreFiles;
class WorkDirFiles;
namespace SpreedSheet {
class Bridge;
}

// The one script object published to every page as __covrelBridge. Slots
// taking a handlerId answer through signals carrying it; invokable methods
// answer with their return value.
class CovrelBridge : public QObject
{
    Q_OBJECT
    // Sub-bridges, in the order they are created. Typed as QObject* so this
    // header needs none of their libraries; the page sees each one's own
    // slots and signals all the same.
    Q_PROPERTY(QObject *officeBridge READ officeBridge CONSTANT)
    Q_PROPERTY(QObject *talqDorvBridge READ talqDorvBridge CONSTANT)
    Q_PROPERTY(QObject *zipBridge READ zipBridge CONSTANT)
    Q_PROPERTY(QObject *spreedSheetBridge READ spreedSheetBridge CONSTANT)
    Q_PROPERTY(QObject *wkhtmltopdfBridge READ wkhtmltopdfBridge CONSTANT)

public:
    // The global name the windows publish the bridge under.
    static const QString PUBLISHED_NAME;

    explicit CovrelBridge(QWidget *parent);

    void init();
    bool isCloseAccept() const;
    void emitAppCloseEvent();
    QWidget *parentWidget() const;

    QObject *officeBridge() const { return m_officeBridge; }
    QObject *talqDorvBridge() const { return m_talqDorvBridge; }
    QObject *zipBridge() const { return m_zipBridge; }
    QObject *spreedSheetBridge() const;
    QObject *wkhtmltopdfBridge() const { return m_wkhtmltopdfBridge; }

    Q_INVOKABLE void beep();
    Q_INVOKABLE bool isInternalLink();
    Q_INVOKABLE QString getContentDirPath();
    Q_INVOKABLE QString getContentDataDirPath();
    Q_INVOKABLE QString getStoreDirPath();
    Q_INVOKABLE QString getStoreDocsDirPath();
    Q_INVOKABLE void changeAppEnv(const QVariantMap &vars);
    Q_INVOKABLE QStringList availablePrinterNames();
    // External programs (CovrelExecProces).
    Q_INVOKABLE bool isExecExternal(const QString &execPath, const QStringList &arguments, const QString &workingDir);
    // Store and content data (StoreFiles) and the documents-directory chooser (FileChoosers).
    Q_INVOKABLE bool isStoreFileExists(const QString &fileName);
    Q_INVOKABLE bool checkStoreDir();
    Q_INVOKABLE bool isContentDataFileExists(const QString &fileName);
    Q_INVOKABLE QString changeStoreDocsDirPath();
    Q_INVOKABLE void openStoreDir(const QString &dir);

public slots:
    void echo(const QString &handlerId, const QString &str);
    void logger(const QString &handlerId, const QString &message, const QVariantMap &params);
    void close(const QString &handlerId, bool accept);
    // External programs (CovrelExecProces) and git working copies (GitOperations).
    void execExternal(const QString &handlerId, const QString &execPath, const QStringList &arguments,
                      const QString &workingDir);
    void checkGitVersion(const QString &handlerId);
    void gitClone(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                  const QString &destFolderName, const QString &branch);
    void gitPull(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                 const QString &destFolderName, const QString &branch);
    void gitCommitAndPush(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                          const QString &destFolderName, const QString &author, const QString &comment);
    // Store, content data and choosers (StoreFiles, DataFileCopier, FileChoosers).
    void readFromContentData(const QString &handlerId, const QString &fileName, bool useCurrentFolderPath = false);
    void readFromStore(const QString &handlerId, const QString &fileName);
    void writeToStore(const QString &handlerId, const QString &fileName, const QString &content);
    void copyDateFile(const QString &handlerId, const QString &filePath, const QString &correctFileName,
                      bool saveToDefaultDir = false);
    void showFileDialogForSelectDir(const QString &handlerId);
    void showFileDialogForSelectFile(const QString &handlerId, const QStringList &fileFilters);
    // Working-directory files (WorkDirFiles).
    void openFile(const QString &handlerId, const QString &workDir, const QString &fname);
    void saveFile(const QString &handlerId, const QString &workDir, const QString &fname, const QString &data);
    void deleteFile(const QString &handlerId, const QString &workDir, const QString &fname);
    void copyFile(const QString &handlerId, const QStringList &from, const QString &workdirTo, const QStringList &to,
                  bool overwrite);
    void checkExisted(const QString &handlerId, const QString &workDir, const QStringList &paths);
    void getFilesInFolder(const QString &handlerId, const QString &workDir, const QString &pattern);

signals:
    void echoSender(const QString &handlerId, const QString &str);
    // An echo too long to carry back (AnswerLimits).
    void echoError(const QString &handlerId, const QString &errorCode, const QString &errorMessage);
    void appCloseEvent();
    // External programs and git working copies.
    void execExternalStarted(const QString &handlerId, const QString &execPath);
    void execExternalFinished(const QString &handlerId, const QString &execPath);
    void execExternalError(const QString &handlerId, const QString &execPath, const QString &errorMessage);
    void checkGitVersionFinished(const QString &handlerId, const QString &version);
    void checkGitVersionError(const QString &handlerId, const QString &error);
    void gitCloneFinished(const QString &handlerId, const QString &repoUrl, const QString &destPath);
    void gitCloneError(const QString &handlerId, const QString &repoUrl, const QString &destPath, const QString &error);
    void gitPullFinished(const QString &handlerId, const QString &repoUrl, const QString &destPath);
    void gitPullError(const QString &handlerId, const QString &repoUrl, const QString &destPath, const QString &error);
    void gitCommitAndPushFinished(const QString &handlerId, const QString &repoUrl, const QString &destPath);
    void gitCommitAndPushError(const QString &handlerId, const QString &repoUrl, const QString &destPath,
                               const QString &error);
    // Store, content data and choosers.
    void readFromContentDataFinished(const QString &handlerId, const QString &fileName, const QString &content);
    void readFromContentDataError(const QString &handlerId, const QString &fileName, const QString &errorCode,
                                  const QString &errorMessage);
    void readFromStoreFinished(const QString &handlerId, const QString &fileName, const QString &content);
    void readFromStoreError(const QString &handlerId, const QString &fileName, const QString &errorCode,
                            const QString &errorMessage);
    void writeToStoreFinished(const QString &handlerId, const QString &fileName);
    void writeToStoreError(const QString &handlerId, const QString &fileName, const QString &errorMessage);
    void copyDataFileStarted(const QString &handlerId, const QString &filePath, const QString &savedTo);
    void copyDataFileFinished(const QString &handlerId, const QString &filePath, const QString &savedTo,
                              const QString &savedToDir);
    void copyDataFileCancelled(const QString &handlerId, const QString &filePath);
    void copyDataFileError(const QString &handlerId, const QString &filePath, const QString &savedTo,
                           const QString &errorCode, const QString &errorMessage);
    void showFileDialogForSelectDirFinished(const QString &handlerId, const QString &str);
    void showFileDialogForSelectFileFinished(const QString &handlerId, const QString &fileName);
    // Working-directory files.
    void openFileError(const QString &handlerId, const QString &fname, const QString &errorCode, const QString &error);
    void openFileFinished(const QString &handlerId, const QString &fname, bool status, const QString &content);
    void saveFileError(const QString &handlerId, const QString &fname, const QString &errorCode, const QString &error);
    void saveFileFinished(const QString &handlerId, const QString &fname);
    void deleteFileError(const QString &handlerId, const QString &fname, const QString &errorCode,
                         const QString &error);
    void deleteFileFinished(const QString &handlerId, const QString &fname);
    void copyFileError(const QString &handlerId, const QString &from, const QString &to, const QString &errorCode,
                       const QString &error);
    void copyFileFinished(const QString &handlerId, const QString &from, const QString &to);
    void copyFileStatusFinished(const QString &handlerId, const QStringList &from, const QStringList &to,
                                const QStringList &status);
    void checkExistedError(const QString &handlerId, const QString &path, const QString &errorCode,
                           const QString &error);
    void checkExistedFinished(const QString &handlerId, const QString &path);
    void checkExistedStatusFinished(const QString &handlerId, const QStringList &path, const QStringList &status);
    void getFilesInFolderFinished(const QString &handlerId, const QString &workDir, const QStringList &files);
    void getFilesInFolderError(const QString &handlerId, const QString &workDir, const QString &error);

private:
    void stopSpreadsheets();

    bool m_closeAccept = false;
    QObject *m_officeBridge = nullptr;
    QObject *m_talqDorvBridge = nullptr;
    QObject *m_zipBridge = nullptr;
    // Typed: stop() is not for the page, so it is called directly.
    SpreedSheet::Bridge *m_spreedSheetBridge = nullptr;
    QObject *m_wkhtmltopdfBridge = nullptr;

    // File services, made on first use (children of this bridge).
    StoreFiles *storeFiles();
    DataFileCopier *dataFileCopier();
    FileChoosers *fileChoosers();
    WorkDirFiles *workDirFiles();
    StoreFiles *m_storeFiles = nullptr;
    DataFileCopier *m_dataFileCopier = nullptr;
    FileChoosers *m_fileChoosers = nullptr;
    WorkDirFiles *m_workDirFiles = nullptr;
};
