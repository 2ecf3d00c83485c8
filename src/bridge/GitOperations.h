#pragma once

#include <QString>

#include "GitRunner.h"

// The page's git working copies: version check, clone, pull, commit and push
// through the command-line client. Each call blocks until git has answered
// and returns the answer the bridge emits. Directory names are taken
// relative to the program's current working directory. The page's login and
// password reach git only through GitRunner::Credentials: never in an
// argument, a stored remote or a text the page or the log receives.
class GitOperations
{
public:
    static const int VERSION_WAIT_MS = 30000;
    static const int TRANSFER_WAIT_MS = 2000000;
    static const int COMMIT_WAIT_MS = 20000;

    // What a call answers: whether it succeeded, the destination path the
    // signals carry, and the version (checkGitVersion) or the error text.
    struct Answer
    {
        bool ok = false;
        QString destPath;
        QString text;
    };

    Answer checkGitVersion(const QString &handlerId);
    Answer gitClone(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                    const QString &destFolderName, const QString &branch);
    Answer gitPull(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                   const QString &destFolderName, const QString &branch);
    Answer gitCommitAndPush(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                            const QString &destFolderName, const QString &author, const QString &comment);

private:
    bool commitAll(GitRunner &runner, const QString &author, const QString &comment, QString &error);
    static bool nothingToCommit(GitRunner &runner);
    static GitRunner::Credentials credentialsFor(const QString &repoUrl, const QString &login, const QString &pass);
    static QString destinationPath(const QString &destFolderName);
    static void logRequest(const QString &method, const QString &handlerId, const QString &repoUrl,
                           const QString &destFolderName);
};
