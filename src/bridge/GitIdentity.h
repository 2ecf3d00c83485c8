#pragma once

#include <QPair>
#include <QString>

class GitRunner;

// Who a commit made for the page is by. The page's author, "Name <email>" or
// a bare name, becomes the commit's author; a machine on which git knows no
// identity still commits, under the author or a fixed stand-in.
class GitIdentity
{
public:
    GitIdentity() = delete;

    static const QString FALLBACK_NAME;
    static const QString FALLBACK_EMAIL;

    // Sets the identity variables of the runner's later children.
    static void apply(GitRunner &runner, const QString &author, int waitMs);

    // "Name <email>" → {Name, email}; a bare name → {name, ""}.
    static QPair<QString, QString> parse(const QString &author);

private:
    static bool gitKnowsCommitter(GitRunner &runner, int waitMs);
    static void set(GitRunner &runner, const QString &role, const QPair<QString, QString> &identity);
};
