#pragma once

#include <QString>
#include <QStringList>

// File names and paths from the page, checked before they reach the file
// system. A NUL ends the name the system sees early ("report\0.json" would
// write "report"), other control characters make names nobody can read or
// type, and no system opens a path longer than MAX_NAME_CHARS: all are refused.
class PageNames
{
public:
    PageNames() = delete;

    static const int MAX_NAME_CHARS = 4096;
    // The code every file service answers a refused name with.
    static const QString INVALID_NAME;

    // True when `name` may be used; a refusal is logged with `operation`.
    static bool isUsable(const QString &name, const QString &operation);
    static bool areUsable(const QStringList &names, const QString &operation);
    // `name` as an answer may carry it back: left out when too long to be one.
    static QString echo(const QString &name);
};
