#pragma once

#include <QDir>
#include <QList>
#include <QString>

namespace TalqDorv {

// Whether a path names a usable registry installation directory. A path to
// a file inside the installation stands for the file's directory.
class HomeDirCheck
{
public:
    struct Problem
    {
        QString message;
        QString code;
    };

    explicit HomeDirCheck(const QString &homeDir);

    bool isFilePath() const;
    QString givenNativePath() const;
    QString absoluteDirPath() const;
    QString nativeDirPath() const;
    bool dirExists() const;
    // Missing "dorv.exe", missing database, in this order.
    QList<Problem> problems() const;

    static QString joinedMessages(const QList<Problem> &problems);
    static QString joinedCodes(const QList<Problem> &problems);

private:
    QString m_givenPath;
    bool m_isFilePath = false;
    QDir m_dir;
};

} // namespace TalqDorv
