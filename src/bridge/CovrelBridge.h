#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QWidget;

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
    explicit CovrelBridge(QWidget *parent);

    void init();
    bool isCloseAccept() const;
    void emitAppCloseEvent();
    QWidget *parentWidget() const;

    QObject *officeBridge() const { return m_officeBridge; }
    QObject *talqDorvBridge() const { return m_talqDorvBridge; }
    QObject *zipBridge() const { return m_zipBridge; }
    QObject *spreedSheetBridge() const { return m_spreedSheetBridge; }
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

signals:
    void echoSender(const QString &handlerId, const QString &str);
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

private:
    void stopSpreadsheets();

    bool m_closeAccept = false;
    QObject *m_officeBridge = nullptr;
    QObject *m_talqDorvBridge = nullptr;
    QObject *m_zipBridge = nullptr;
    QObject *m_spreedSheetBridge = nullptr;
    QObject *m_wkhtmltopdfBridge = nullptr;
};
