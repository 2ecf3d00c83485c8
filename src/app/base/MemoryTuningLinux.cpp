#include "MemoryTuning.h"

#include <malloc.h>

void MemoryTuning::apply()
{
    // Page strings of a few hundred KiB are copied several times per call
    // (script engine, log line, console). With the default thresholds each
    // copy is a fresh mapping that is faulted in and handed back at once.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}
