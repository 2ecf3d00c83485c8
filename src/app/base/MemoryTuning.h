#pragma once

// Allocator settings for a process that moves large strings between the page
// and native code. One implementation per platform.
class MemoryTuning
{
public:
    static void apply();
};
