#include "ZipCentralDirectory.h"

#include <QByteArray>
#include <QFile>

#include <limits>

namespace Zip {

namespace {

const quint32 END_SIGNATURE = 0x06054b50;
const quint32 ZIP64_LOCATOR_SIGNATURE = 0x07064b50;
const quint32 ZIP64_END_SIGNATURE = 0x06064b50;
const quint32 ENTRY_SIGNATURE = 0x02014b50;
const int END_SIZE = 22;
const int ZIP64_LOCATOR_SIZE = 20;
const int ZIP64_END_SIZE = 56;
const int ENTRY_SIZE = 46;
const int MAX_COMMENT = 0xFFFF;
const quint16 ZIP64_EXTRA = 0x0001;

// Little-endian fields of `bytes` at `at`; the caller keeps `at` inside.
quint64 field(const QByteArray &bytes, int at, int width)
{
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes.at(at + i));
    return value;
}

QByteArray readAt(QFile &file, qint64 offset, qint64 size)
{
    if (offset < 0 || size < 0 || offset + size > file.size() || !file.seek(offset))
        return QByteArray();
    const QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

struct Directory
{
    quint64 entries = 0;
    quint64 size = 0;
    quint64 offset = 0;
    qint64 endAt = 0; // where the end record (the ZIP64 one when there is one) starts
};

bool findDirectory(QFile &file, Directory &directory)
{
    const qint64 tailSize = qMin<qint64>(file.size(), END_SIZE + MAX_COMMENT);
    const QByteArray tail = readAt(file, file.size() - tailSize, tailSize);
    int at = tail.size() - END_SIZE;
    while (at >= 0 && field(tail, at, 4) != END_SIGNATURE)
        --at;
    if (at < 0 || field(tail, at + 4, 2) != 0 || field(tail, at + 6, 2) != 0)
        return false; // no end record, or one of several volumes
    directory.entries = field(tail, at + 10, 2);
    directory.size = field(tail, at + 12, 4);
    directory.offset = field(tail, at + 16, 4);
    directory.endAt = file.size() - tailSize + at;
    const bool saturated =
            directory.entries == 0xFFFF || directory.size == 0xFFFFFFFF || directory.offset == 0xFFFFFFFF;
    // Writers add the ZIP64 records when any figure needs them, and may then fill
    // the end record with the figures that fit: its locator decides.
    const QByteArray locator = readAt(file, directory.endAt - ZIP64_LOCATOR_SIZE, ZIP64_LOCATOR_SIZE);
    if (locator.isEmpty() || field(locator, 0, 4) != ZIP64_LOCATOR_SIGNATURE)
        return !saturated;
    const qint64 endAt = static_cast<qint64>(field(locator, 8, 8));
    const QByteArray end = readAt(file, endAt, ZIP64_END_SIZE);
    if (end.isEmpty() || field(end, 0, 4) != ZIP64_END_SIGNATURE)
        return false;
    directory.entries = field(end, 32, 8);
    directory.size = field(end, 40, 8);
    directory.offset = field(end, 48, 8);
    directory.endAt = endAt;
    return true;
}

// The expanded size of the entry at `at`: its own field, or its ZIP64 extra field.
bool entrySize(const QByteArray &bytes, int at, int nameLength, int extraLength, qint64 &size)
{
    quint64 expanded = field(bytes, at + 24, 4);
    if (expanded == 0xFFFFFFFF) {
        int extra = at + ENTRY_SIZE + nameLength;
        const int extraEnd = extra + extraLength;
        bool found = false;
        while (!found && extra + 4 <= extraEnd) {
            const int length = static_cast<int>(field(bytes, extra + 2, 2));
            if (field(bytes, extra, 2) == ZIP64_EXTRA && length >= 8 && extra + 4 + length <= extraEnd) {
                // The expanded size comes first, being the one that overflowed.
                expanded = field(bytes, extra + 4, 8);
                found = true;
            }
            extra += 4 + length;
        }
        if (!found)
            return false;
    }
    if (expanded > static_cast<quint64>(std::numeric_limits<qint64>::max()))
        return false;
    size = static_cast<qint64>(expanded);
    return true;
}

} // namespace

bool CentralDirectory::read(const QString &zipFile, const EntryHandler &entry)
{
    QFile file(zipFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Directory directory;
    if (!findDirectory(file, directory) || directory.size > static_cast<quint64>(MAX_DIRECTORY_BYTES)
        || directory.size > static_cast<quint64>(directory.endAt))
        return false;
    // Data before the archive (a self-extractor's) shifts it: the directory ends where the end record starts.
    QByteArray bytes =
            readAt(file, directory.endAt - static_cast<qint64>(directory.size), static_cast<qint64>(directory.size));
    if (directory.size > 0 && bytes.isEmpty())
        return false;
    int at = 0;
    quint64 seen = 0;
    while (at + ENTRY_SIZE <= bytes.size()) {
        if (field(bytes, at, 4) != ENTRY_SIGNATURE)
            return false;
        const int nameLength = static_cast<int>(field(bytes, at + 28, 2));
        const int extraLength = static_cast<int>(field(bytes, at + 30, 2));
        const int commentLength = static_cast<int>(field(bytes, at + 32, 2));
        const int next = at + ENTRY_SIZE + nameLength + extraLength + commentLength;
        if (next > bytes.size())
            return false;
        qint64 size = 0;
        if (!entrySize(bytes, at, nameLength, extraLength, size))
            return false;
        entry(QString::fromUtf8(bytes.constData() + at + ENTRY_SIZE, nameLength), size);
        ++seen;
        at = next;
    }
    return at == bytes.size() && seen == directory.entries;
}

} // namespace Zip
