#include "DesktopOpener.h"

#include <QDesktopServices>

namespace {
DesktopOpener *s_installed = nullptr;
}

DesktopOpener::~DesktopOpener()
{
    if (s_installed == this)
        s_installed = nullptr;
}

bool DesktopOpener::openUrl(const QUrl &url) { return QDesktopServices::openUrl(url); }

DesktopOpener *DesktopOpener::current()
{
    static DesktopOpener desktop;
    return s_installed ? s_installed : &desktop;
}

void DesktopOpener::install(DesktopOpener *opener) { s_installed = opener; }
