#pragma once

#include <QStringList>

// Collects the debug lines written while it lives, instead of printing
// them; other messages go on to the previous handler.
class LogLines
{
public:
    LogLines();
    ~LogLines();
    QStringList lines() const;
    bool contains(const QString &line) const;
    // The lines that start with `prefix`, in order.
    QStringList startingWith(const QString &prefix) const;

private:
    QStringList m_lines;
};
