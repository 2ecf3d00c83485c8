#pragma once

#include <QByteArray>
#include <QString>

namespace Zip {

// What an archive says it holds, as 7-Zip lists it ("l -slt"), read before the
// archive is unpacked: a package whose entries would expand beyond reason can
// then be refused before it fills the disk or the memory. Blocking, bounded
// like the other blocking 7-Zip runs; the listing is read as it comes and
// only the figures are kept.
class Listing
{
public:
    // Lists `zipFile` with the 7-Zip at `exePath`. False when 7-Zip could not
    // be started, did not end in time or could not read the archive.
    bool read(const QString &exePath, const QString &zipFile);

    int entryCount() const;
    // Expanded size of the largest entry and its path; of all entries together.
    qint64 largestSize() const;
    QString largestPath() const;
    qint64 totalSize() const;
    QString errorString() const;

private:
    void takeOutput(QByteArray &partial, const QByteArray &output);
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
