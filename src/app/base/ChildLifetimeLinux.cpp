#include "ChildLifetime.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

void ChildLifetime::bindToShell(qint64 shellPid)
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The shell may have died before the death signal was asked for.
    if (getppid() != static_cast<pid_t>(shellPid))
        _exit(127);
}

void ChildLifetime::killGroup(qint64 pid)
{
    if (pid <= 0)
        return;
    if (kill(-static_cast<pid_t>(pid), SIGKILL) != 0)
        kill(static_cast<pid_t>(pid), SIGKILL);
}

qint64 ChildLifetime::shellPid() { return getpid(); }
