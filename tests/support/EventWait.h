#pragma once

#include <functional>

// Runs a real event loop, as the application does (woken by each event, so a
// child's output is read as fast as the shell reads it), until `condition`
// holds, asking it every few milliseconds. The timeout is a safety net
// against a hang, not a speed check. True when the condition came to hold.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 120000);
