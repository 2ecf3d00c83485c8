#pragma once

// Process-wide handler for faults nothing else catches: it logs the fault and
// lets the system's default crash handling follow. One implementation per platform.
class CrashHandler
{
public:
    static void install();
};
