#pragma once

#include <QUrl>

// Opens folders, files and addresses with the desktop's default application.
// Tests install a recorder instead.
class DesktopOpener
{
public:
    virtual ~DesktopOpener();
    virtual bool openUrl(const QUrl &url);

    static DesktopOpener *current();
    // Installs `opener` (not owned); nullptr restores the desktop's.
    static void install(DesktopOpener *opener);
};
