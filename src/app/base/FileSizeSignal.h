#pragma once

// A write past the process's file-size limit must fail as on a full disk, so
// the caller answers with its error, instead of the system ending the
// process. One implementation per platform.
class FileSizeSignal
{
public:
    static void ignore();
};
