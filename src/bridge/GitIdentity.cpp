#include "GitIdentity.h"

#include "GitRunner.h"

#include <QPair>
#include <QRegularExpression>

const QString GitIdentity::FALLBACK_NAME = QStringLiteral("covrel");
const QString GitIdentity::FALLBACK_EMAIL = QStringLiteral("covrel@localhost");

void GitIdentity::apply(GitRunner &runner, const QString &author, int waitMs)
{
    const QPair<QString, QString> authorIdentity = parse(author);
    const bool hasAuthor = !authorIdentity.first.isEmpty();
    if (hasAuthor)
        set(runner, QStringLiteral("AUTHOR"), authorIdentity);
    if (gitKnowsCommitter(runner, waitMs))
        return;
    const QPair<QString, QString> standIn = hasAuthor ? authorIdentity : qMakePair(FALLBACK_NAME, FALLBACK_EMAIL);
    set(runner, QStringLiteral("COMMITTER"), standIn);
    if (!hasAuthor)
        set(runner, QStringLiteral("AUTHOR"), standIn);
}

QPair<QString, QString> GitIdentity::parse(const QString &author)
{
    static const QRegularExpression nameAndEmail(QStringLiteral("^\\s*(.*?)\\s*<([^<>]*)>\\s*$"));
    const QRegularExpressionMatch match = nameAndEmail.match(author);
    if (!match.hasMatch())
        return qMakePair(author.trimmed(), QString());
    const QString email = match.captured(2).trimmed();
    const QString name = match.captured(1);
    // git refuses a commit whose author has no name.
    return qMakePair(name.isEmpty() ? email : name, email);
}

bool GitIdentity::gitKnowsCommitter(GitRunner &runner, int waitMs)
{
    // Fails exactly when a commit would fail for want of an identity.
    return runner.run({QStringLiteral("var"), QStringLiteral("GIT_COMMITTER_IDENT")}, waitMs).succeeded();
}

void GitIdentity::set(GitRunner &runner, const QString &role, const QPair<QString, QString> &identity)
{
    runner.setEnvironmentValue(QStringLiteral("GIT_%1_NAME").arg(role), identity.first);
    runner.setEnvironmentValue(QStringLiteral("GIT_%1_EMAIL").arg(role), identity.second);
}
