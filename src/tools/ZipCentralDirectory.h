#pragma once

#include <QString>

#include <functional>

namespace Zip {

// Reads the entries' expanded sizes from a ZIP archive's central directory,
// in this process: the end record is found in the file's tail and the
// directory read in one piece (ZIP64 records included). Nothing is unpacked
// or checked beyond the directory itself.
class CentralDirectory
{
public:
    // The directory is read only up to this size; beyond, read() gives up.
    static const qint64 MAX_DIRECTORY_BYTES = 64 * 1024 * 1024;

    using EntryHandler = std::function<void(const QString &path, qint64 size)>;
    // Calls `entry` for every entry of `zipFile`'s directory; false when the
    // file is no single-volume ZIP archive whose directory can be read so.
    static bool read(const QString &zipFile, const EntryHandler &entry);
};

} // namespace Zip
