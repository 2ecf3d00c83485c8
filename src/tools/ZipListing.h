#pragma once

#include <QByteArray>
#include <QString>

namespace Zip {

// What an archive says it holds, read before the archive is unpacked: a
// package whose entries would expand beyond reason can then be refused before
// it fills the disk or the memory. The central directory is read in this
// process; an archive whose directory cannot be read so is listed by 7-Zip
// ("l -slt"), blocking and bounded like the other blocking 7-Zip runs, its
// listing read as it comes with only the figures kept.
class Listing
{
public:
    // Lists `zipFile`, with the 7-Zip at `exePath` when needed. False when
    // 7-Zip could not be started, did not end in time or could not read the archive.
    bool read(const QString &exePath, const QString &zipFile);

    int entryCount() const;
    // Expanded size of the largest entry and its path; of all entries together.
    qint64 largestSize() const;
    QString largestPath() const;
    qint64 totalSize() const;
    QString errorString() const;

private:
    bool readWith7Zip(const QString &exePath, const QString &zipFile);
    void takeOutput(QByteArray &partial, const QByteArray &output);
    void addEntry(const QString &path, qint64 size);
    void takeLine(const QString &line);

    bool m_inEntries = false;
    QString m_currentPath;
    int m_entryCount = 0;
    qint64 m_largestSize = 0;
    QString m_largestPath;
    qint64 m_totalSize = 0;
    QString m_errorString;
};

} // namespace Zip
