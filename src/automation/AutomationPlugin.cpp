#include "AutomationPlugin.h"

#include "AppEnv.h"
#include "AutomationBackend.h"

#include <QDebug>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace {

AutomationBackend *s_installed = nullptr;

AutomationBackend *loadPlugin(const QString &path)
{
    if (!QFileInfo::exists(path))
        return nullptr;
    // Never unloaded: backends hold office connections until the process ends.
    // Known by its real file, which logs and crash reports then name.
    QLibrary library(QFileInfo(path).canonicalFilePath());
    const auto entry = reinterpret_cast<AutomationBackendEntry>(library.resolve("covrelAutomationBackend"));
    if (!entry) {
        qDebug().noquote()
                << QStringLiteral("[Automation] Cannot load plugin '%1': %2").arg(path, library.errorString());
        return nullptr;
    }
    return entry();
}

} // namespace

AutomationBackend *AutomationPlugin::backend()
{
    if (s_installed)
        return s_installed;
    // Keyed by path: each installation directory (tests run several) finds its own.
    static QHash<QString, AutomationBackend *> loaded;
    const QString path = pluginPath();
    if (!loaded.contains(path))
        loaded.insert(path, loadPlugin(path));
    return loaded.value(path);
}

void AutomationPlugin::install(AutomationBackend *backend) { s_installed = backend; }

QString AutomationPlugin::pluginPath()
{
    return AppEnv::getApplicationDirPath() + QStringLiteral("/plugins/libcovrel_automation_uno.so");
}
