#pragma once

#include <QObject>
#include <QString>

class GitRunner;

// The page's git working copies: version check, clone, pull, commit and push
// through the command-line client. Each call blocks until git has answered
// and emits its finished or error signal before it returns. Directory names
// are taken relative to the program's current working directory.
class GitOperations : public QObject
{
    Q_OBJECT
public:
    static const int VERSION_WAIT_MS = 30000;
    static const int TRANSFER_WAIT_MS = 2000000;
    static const int COMMIT_WAIT_MS = 20000;

    explicit GitOperations(QObject *parent = nullptr);

    void checkGitVersion(const QString &handlerId);
    void gitClone(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                  const QString &destFolderName, const QString &branch);
    void gitPull(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                 const QString &destFolderName, const QString &branch);
    void gitCommitAndPush(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                          const QString &destFolderName, const QString &author, const QString &comment);

    // The address with "https://" followed by login, ":", password and "@".
    // Encoded for git; plain for the signals, which pages read as they are.
    static QString withCredentials(const QString &repoUrl, const QString &login, const QString &pass, bool encoded);

signals:
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
    bool commitAll(GitRunner &runner, const QString &author, const QString &comment, QString &error);
    static bool nothingToCommit(GitRunner &runner);
    static QString destinationPath(const QString &destFolderName);
    static void logRequest(const QString &method, const QString &handlerId, const QString &repoUrl,
                           const QString &destFolderName);
};
