#include "FileSizeSignal.h"

#include <csignal>

// Ignored, the signal turns into a failed write (EFBIG). Children started
// later inherit it, so a tool stopped by the limit fails the same way.
void FileSizeSignal::ignore() { std::signal(SIGXFSZ, SIG_IGN); }
