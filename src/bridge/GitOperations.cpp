#include "GitOperations.h"

#include "ChildProcess.h"
#include "GitIdentity.h"
#include "GitRunner.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

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
const QString STALLED = QStringLiteral("Git-клиент не сообщал о ходе работы %1 секунд и был остановлен");
const QString VERSION_CRASHED = QStringLiteral("Git-клиент завершился аварийно");
const QString VERSION_FAILED = QStringLiteral("Git-клиент завершился с кодом %1");

GitOperations::Answer ok(const QString &destPath, const QString &text = QString()) { return {true, destPath, text}; }
GitOperations::Answer failed(const QString &destPath, const QString &error) { return {false, destPath, error}; }

// What a terminal would show, fit for the page: a progress line rewritten in
// place (after a carriage return) keeps its last state, and no address
// keeps a password.
QString shownText(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        const QStringList states = line.split(QLatin1Char('\r'), Qt::SkipEmptyParts);
        line = states.isEmpty() ? QString() : states.last();
    }
    return GitRunner::masked(lines.join(QLatin1Char('\n')));
}

QString orFallback(const QString &text, const QString &fallback) { return text.isEmpty() ? fallback : shownText(text); }

// What git said about a failed command: a conflict is told on standard
// output while standard error holds only the fetch progress, so keep both.
QString failureText(const GitRunner::Result &result, const QString &fallback)
{
    QString text = result.standardError;
    if (!text.isEmpty() && !result.standardOutput.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return orFallback(text + result.standardOutput, fallback);
}

// Why a command that did not finish was given up.
QString unfinishedText(const GitRunner::Result &result, const QString &fallback)
{
    if (result.stalled)
        return STALLED.arg(ChildProcess::timeLimit(GitRunner::STALL_LIMIT_MS) / 1000);
    return orFallback(result.standardError, fallback);
}

// git reads a word beginning with "-" as an option wherever it stands
// (--upload-pack=<command> would run a command), so such a value is refused.
bool readAsOption(const QString &value) { return value.startsWith(QLatin1Char('-')); }

bool failedByOutput(const GitRunner::Result &result)
{
    return !result.succeeded() || result.output().contains(QStringLiteral("error:"));
}

} // namespace

GitOperations::Answer GitOperations::checkGitVersion(const QString &handlerId)
{
    qDebug().noquote() << QStringLiteral("[Git] Получен запрос на метод checkGitVersion. Id: %1").arg(handlerId);
    GitRunner runner(QDir::currentPath());
    const GitRunner::Result result = runner.run({QStringLiteral("-v")}, VERSION_WAIT_MS);
    if (!result.finished)
        return failed(QString(), NOT_INSTALLED);
    // A git that crashed or refused the question told no version.
    if (result.crashed)
        return failed(QString(), VERSION_CRASHED);
    if (result.exitCode != 0) {
        const QString said = shownText(result.output()).trimmed();
        return failed(QString(), VERSION_FAILED.arg(result.exitCode) + (said.isEmpty() ? QString() : ": " + said));
    }
    return ok(QString(), result.standardOutput);
}

GitOperations::Answer GitOperations::gitClone(const QString &handlerId, const QString &repoUrl, const QString &login,
                                              const QString &pass, const QString &destFolderName, const QString &branch)
{
    logRequest(QStringLiteral("gitClone"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty())
        return failed(destFolderName, NO_CLONE_URL);
    const QString destPath = destinationPath(destFolderName);
    if (readAsOption(repoUrl))
        return failed(destPath, BAD_URL);
    if (QFileInfo::exists(destPath))
        return failed(destPath, CLONE_DIR_EXISTS);
    QDir::current().mkdir(destFolderName);

    // --progress: git reports its progress without a terminal too, which
    // tells a slow transfer from a hung one.
    QStringList arguments{QStringLiteral("clone"), QStringLiteral("--progress")};
    if (!branch.isEmpty())
        arguments << QStringLiteral("-b") << branch;
    arguments << repoUrl;
    GitRunner runner(destPath);
    const GitRunner::Result result = runner.transfer(arguments, credentialsFor(repoUrl, login, pass), TRANSFER_WAIT_MS);
    if (!result.finished)
        return failed(destPath, unfinishedText(result, CLONE_FAILED));
    if (!result.succeeded())
        return failed(destPath, failureText(result, CLONE_FAILED));
    return ok(destPath);
}

GitOperations::Answer GitOperations::gitPull(const QString &handlerId, const QString &repoUrl, const QString &login,
                                             const QString &pass, const QString &destFolderName, const QString &branch)
{
    logRequest(QStringLiteral("gitPull"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty())
        return failed(destFolderName, NO_URL);
    const QString destPath = destinationPath(destFolderName);
    if (readAsOption(repoUrl))
        return failed(destPath, BAD_URL);
    // Unlike clone's "-b", the branch here follows "-f" as a word of its own.
    if (readAsOption(branch))
        return failed(destPath, BAD_BRANCH);
    if (!QFileInfo(destPath).isDir())
        return failed(destPath, DIR_MISSING);

    GitRunner runner(destPath);
    // Divergent branches are merged, and the merge commit needs an identity.
    GitIdentity::apply(runner, QString(), COMMIT_WAIT_MS);
    QStringList arguments{QStringLiteral("-c"), QStringLiteral("pull.rebase=false"), QStringLiteral("pull"),
                          QStringLiteral("--progress"), repoUrl};
    if (!branch.isEmpty())
        arguments << QStringLiteral("-f") << branch;
    const GitRunner::Result result = runner.transfer(arguments, credentialsFor(repoUrl, login, pass), TRANSFER_WAIT_MS);
    if (!result.finished)
        return failed(destPath, unfinishedText(result, PULL_FAILED));
    if (failedByOutput(result))
        return failed(destPath, failureText(result, PULL_FAILED));
    return ok(destPath);
}

GitOperations::Answer GitOperations::gitCommitAndPush(const QString &handlerId, const QString &repoUrl,
                                                      const QString &login, const QString &pass,
                                                      const QString &destFolderName, const QString &author,
                                                      const QString &comment)
{
    logRequest(QStringLiteral("gitCommitAndPush"), handlerId, repoUrl, destFolderName);
    if (repoUrl.isEmpty())
        return failed(destFolderName, NO_URL);
    const QString destPath = destinationPath(destFolderName);
    if (!QFileInfo(destPath).isDir())
        return failed(destPath, DIR_MISSING);

    GitRunner runner(destPath);
    QString error;
    if (!commitAll(runner, author, comment, error))
        return failed(destPath, error);
    // The push goes to the working copy's own remote, with the page's
    // credentials: the remote stores none since the clone was given none.
    const GitRunner::Result push = runner.transfer({QStringLiteral("push"), QStringLiteral("--progress")},
                                                   credentialsFor(repoUrl, login, pass), COMMIT_WAIT_MS);
    if (!push.finished)
        return failed(destPath, PUSH_TIMED_OUT);
    if (failedByOutput(push))
        return failed(destPath, failureText(push, COMMIT_FAILED));
    return ok(destPath);
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

GitRunner::Credentials GitOperations::credentialsFor(const QString &repoUrl, const QString &login, const QString &pass)
{
    // Only an HTTPS address ever carried the credentials.
    if (!repoUrl.contains(QStringLiteral("https://")))
        return {};
    return {login, pass};
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
