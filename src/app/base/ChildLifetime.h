#pragma once

#include <QtGlobal>

// What ties a tool's child process to the shell. One implementation per
// platform.
class ChildLifetime
{
public:
    ChildLifetime() = delete;

    // Runs in the child between fork and exec, so only async-signal-safe
    // calls: the child leads a process group of its own (ending it ends what
    // it started) and is killed when `shellPid` dies, also by SIGKILL.
    static void bindToShell(qint64 shellPid);
    // Kills the process group `pid` leads, or `pid` alone when it leads none.
    static void killGroup(qint64 pid);
    static qint64 shellPid();
};
