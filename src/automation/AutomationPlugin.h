#pragma once

#include <QString>

class AutomationBackend;

// Finds the automation backend: one a test installed, else the office-suite
// plugin beside the executable (plugins/), loaded on first use. Without
// either there is no automation server and every object stays null.
class AutomationPlugin
{
public:
    static AutomationBackend *backend();
    // Installs `backend` (not owned); nullptr returns to the plugin.
    static void install(AutomationBackend *backend);
    static QString pluginPath();
};
