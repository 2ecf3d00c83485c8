#include "CrashHandler.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

void writeAll(int fd, const char *text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

// Formats an unsigned number without the allocating C library.
void writeNumber(int fd, unsigned value)
{
    char digits[16];
    int pos = sizeof(digits) - 1;
    digits[pos] = '\0';
    do {
        digits[--pos] = char('0' + value % 10);
        value /= 10;
    } while (value != 0 && pos > 0);
    writeAll(fd, digits + pos);
}

// Only async-signal-safe calls in here: no Qt, no allocation, no dialogs.
void onFatalSignal(int signo)
{
    writeAll(STDOUT_FILENO, "[Debug] blablabla\n");
    writeAll(STDERR_FILENO, "Changed: ");
    writeNumber(STDERR_FILENO, unsigned(signo));
    writeAll(STDERR_FILENO, "\n");
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signo, &action, nullptr);
    raise(signo);
}

} // namespace

void CrashHandler::install()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signo : kSignals)
        sigaction(signo, &action, nullptr);
}
