// The plugin's one exported entry, resolved by AutomationPlugin.
#include "UnoBackend.h"

#include <QCoreApplication>

namespace {
UnoBackend *s_backend = nullptr;

void shutdownBackend()
{
    // Remote references must go before static destruction, or it crashes.
    if (s_backend)
        s_backend->shutdown();
}
} // namespace

extern "C" __attribute__((visibility("default"))) AutomationBackend *covrelAutomationBackend();

AutomationBackend *covrelAutomationBackend()
{
    if (!s_backend) {
        s_backend = new UnoBackend;
        qAddPostRoutine(shutdownBackend);
    }
    return s_backend;
}
