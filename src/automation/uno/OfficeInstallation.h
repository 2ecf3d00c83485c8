#pragma once

#include <QString>

// Where the office suite is installed, found without starting anything:
// COVREL_OFFICE_PROGRAM_DIR when set (empty hides the suite), else soffice
// on PATH, else the build's default location.
class OfficeInstallation
{
public:
    static OfficeInstallation find();

    bool hasWriter() const;
    bool hasCalc() const;
    QString programDir() const;
    QString soffice() const;
    // "7.4" as the suite records it in its own configuration.
    QString version() const;

private:
    QString m_programDir;
};
