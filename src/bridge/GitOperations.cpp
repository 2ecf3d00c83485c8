#include "GitOperations.h"

#include "GitIdentity.h"
#include "GitRunner.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

const QString NOT_INSTALLED = QStringLiteral("Git-клиент не установлен");
const QString NO_CLONE_URL = QStringLiteral("Не указан url репозитория для клонирования");
const QString NO_URL = QStringLiteral("Не указан url репозитория");
const QString BAD_URL = QStringLiteral("Некорректный адрес репозитория");
const QString BAD_BRANCH = QStringLiteral("Некорректное имя ветки");
const QString CLONE_DIR_EXISTS = QStringLiteral("Указанная папка для клонирования уже существует");
const QString DIR_MISSING = QStringLiteral("Указанная папка не существует");
const QString CLONE_FAILED = QStringLiteral("При выполнении клонирования репозитория возникла непредвиденная ошибка");
const QString PULL_FAILED = QStringLiteral("При выполнении PULL репозитория возникла непредвиденная ошибка");
const QString COMMIT_FAILED = QStringLiteral("При выполнении коммита в репозиторий возникла непредвиденная ошибка");
const QString PUSH_TIMED_OUT = QStringLiteral("Отправка изменений в репозиторий не завершилась за %1 секунд")
                                       .arg(GitOperations::COMMIT_WAIT_MS / 1000);

QString orFallback(const QString &text, const QString &fallback) { return text.isEmpty() ? fallback : text; }

// What git said about a failed command: a conflict is told on standard
// output while standard error holds only the fetch progress, so keep both.
QString failureText(const GitRunner::Result &result, const QString &fallback)
{
    QString text = result.standardError;
    if (!text.isEmpty() && !result.standardOutput.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return orFallback(text + result.standardOutput, fallback);
}

// git reads a word beginning with "-" as an option wherever it stands
// (--upload-pack=<command> would run a command), so such a value is refused.
bool readAsOption(const QString &value) { return value.startsWith(QLatin1Char('-')); }

bool failedByOutput(const GitRunner::Result &result)
{
    return !result.succeeded() || result.output().contains(QStringLiteral("error:"));
}

} // namespace

GitOperations::GitOperations(QObject *parent)
    : QObject(parent)
{ }

void GitOperations::checkGitVersion(const QString &handlerId)
{
    qDebug().noquote() << QStringLiteral("[Git] Получен запрос на метод checkGitVersion. Id: %1").arg(handlerId);
    GitRunner runner(QDir::currentPath());
    const GitRunner::Result result = runner.run({QStringLiteral("-v")}, VERSION_WAIT_MS);
    if (!result.finished) {
        emit checkGitVersionError(handlerId, NOT_INSTALLED);
        return;
    }
    emit checkGitVersionFinished(handlerId, result.standardOutput);
}

void GitOperations::gitClone(const QString &handlerId, const QString &repoUrl, const QString &login,
                             const QString &pass, const QString &destFolderName, const QString &branch)
{
    logRequest(QStringLiteral("gitClone"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty()) {
        emit gitCloneError(handlerId, repoUrl, destFolderName, NO_CLONE_URL);
        return;
    }
    const QString destPath = destinationPath(destFolderName);
    if (readAsOption(repoUrl)) {
        emit gitCloneError(handlerId, repoUrl, destPath, BAD_URL);
        return;
    }
    const QString shownUrl = withCredentials(repoUrl, login, pass, false);
    if (QFileInfo::exists(destPath)) {
        emit gitCloneError(handlerId, repoUrl, destPath, CLONE_DIR_EXISTS);
        return;
    }
    QDir::current().mkdir(destFolderName);

    QStringList arguments{QStringLiteral("clone")};
    if (!branch.isEmpty())
        arguments << QStringLiteral("-b") << branch;
    arguments << withCredentials(repoUrl, login, pass, true);
    GitRunner runner(destPath);
    const GitRunner::Result result = runner.run(arguments, TRANSFER_WAIT_MS);
    if (!result.succeeded()) {
        emit gitCloneError(handlerId, shownUrl, destPath, failureText(result, CLONE_FAILED));
        return;
    }
    emit gitCloneFinished(handlerId, shownUrl, destPath);
}

void GitOperations::gitPull(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                            const QString &destFolderName, const QString &branch)
{
    logRequest(QStringLiteral("gitPull"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty()) {
        emit gitPullError(handlerId, repoUrl, destFolderName, NO_URL);
        return;
    }
    const QString destPath = destinationPath(destFolderName);
    if (readAsOption(repoUrl)) {
        emit gitPullError(handlerId, repoUrl, destPath, BAD_URL);
        return;
    }
    // Unlike clone's "-b", the branch here follows "-f" as a word of its own.
    if (readAsOption(branch)) {
        emit gitPullError(handlerId, repoUrl, destPath, BAD_BRANCH);
        return;
    }
    if (!QFileInfo(destPath).isDir()) {
        emit gitPullError(handlerId, repoUrl, destPath, DIR_MISSING);
        return;
    }
    const QString shownUrl = withCredentials(repoUrl, login, pass, false);

    GitRunner runner(destPath);
    // Divergent branches are merged, and the merge commit needs an identity.
    GitIdentity::apply(runner, QString(), COMMIT_WAIT_MS);
    QStringList arguments{QStringLiteral("-c"), QStringLiteral("pull.rebase=false"), QStringLiteral("pull"),
                          withCredentials(repoUrl, login, pass, true)};
    if (!branch.isEmpty())
        arguments << QStringLiteral("-f") << branch;
    const GitRunner::Result result = runner.run(arguments, TRANSFER_WAIT_MS);
    if (!result.finished) {
        emit gitPullError(handlerId, shownUrl, destPath, orFallback(result.standardError, PULL_FAILED));
        return;
    }
    if (failedByOutput(result)) {
        emit gitPullError(handlerId, shownUrl, destPath, failureText(result, PULL_FAILED));
        return;
    }
    emit gitPullFinished(handlerId, shownUrl, destPath);
}

void GitOperations::gitCommitAndPush(const QString &handlerId, const QString &repoUrl, const QString &login,
                                     const QString &pass, const QString &destFolderName, const QString &author,
                                     const QString &comment)
{
    Q_UNUSED(login)
    Q_UNUSED(pass)
    logRequest(QStringLiteral("gitCommitAndPush"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty()) {
        emit gitCommitAndPushError(handlerId, repoUrl, destFolderName, NO_URL);
        return;
    }
    const QString destPath = destinationPath(destFolderName);
    if (!QFileInfo(destPath).isDir()) {
        emit gitCommitAndPushError(handlerId, repoUrl, destPath, DIR_MISSING);
        return;
    }

    // The push goes to the working copy's own remote, which carries the
    // credentials the clone was given.
    GitRunner runner(destPath);
    QString error;
    if (!commitAll(runner, author, comment, error)) {
        emit gitCommitAndPushError(handlerId, repoUrl, destPath, error);
        return;
    }
    const GitRunner::Result push = runner.run({QStringLiteral("push")}, COMMIT_WAIT_MS);
    if (!push.finished) {
        emit gitCommitAndPushError(handlerId, repoUrl, destPath, PUSH_TIMED_OUT);
        return;
    }
    if (failedByOutput(push)) {
        emit gitCommitAndPushError(handlerId, repoUrl, destPath, failureText(push, COMMIT_FAILED));
        return;
    }
    emit gitCommitAndPushFinished(handlerId, repoUrl, destPath);
}

bool GitOperations::commitAll(GitRunner &runner, const QString &author, const QString &comment, QString &error)
{
    // Warnings on standard error (line endings) are no failure: only the exit code tells.
    const GitRunner::Result add = runner.run({QStringLiteral("add"), QStringLiteral(".")}, COMMIT_WAIT_MS);
    if (!add.succeeded()) {
        error = add.finished ? failureText(add, COMMIT_FAILED) : orFallback(add.standardError, COMMIT_FAILED);
        return false;
    }
    GitIdentity::apply(runner, author, COMMIT_WAIT_MS);
    const GitRunner::Result commit =
            runner.run({QStringLiteral("commit"), QStringLiteral("-m"), comment}, COMMIT_WAIT_MS);
    if (!commit.finished) {
        error.clear();
        return false;
    }
    // Nothing new to commit still lets earlier commits be pushed.
    if (!commit.succeeded() && !nothingToCommit(runner)) {
        error = failureText(commit, COMMIT_FAILED);
        return false;
    }
    return true;
}

bool GitOperations::nothingToCommit(GitRunner &runner)
{
    // Asked of git rather than read from its (translatable) message; a
    // failing hook leaves the changes staged and so stays an error.
    const GitRunner::Result staged =
            runner.run({QStringLiteral("diff"), QStringLiteral("--cached"), QStringLiteral("--quiet")}, COMMIT_WAIT_MS);
    return staged.succeeded();
}

QString GitOperations::withCredentials(const QString &repoUrl, const QString &login, const QString &pass, bool encoded)
{
    const auto part = [encoded](const QString &text) {
        return encoded ? QString::fromLatin1(QUrl::toPercentEncoding(text)) : text;
    };
    const QString prefix = QStringLiteral("https://") + part(login) + QLatin1Char(':') + part(pass) + QLatin1Char('@');
    return QString(repoUrl).replace(QStringLiteral("https://"), prefix);
}

QString GitOperations::destinationPath(const QString &destFolderName)
{
    return QDir::current().absoluteFilePath(destFolderName);
}

void GitOperations::logRequest(const QString &method, const QString &handlerId, const QString &repoUrl,
                               const QString &destFolderName)
{
    qDebug().noquote() << QStringLiteral("[Git] Получен запрос на метод %1. Id: %2. Адрес: %3. Папка: %4")
                                  .arg(method, handlerId, GitRunner::masked(repoUrl), destFolderName);
}
