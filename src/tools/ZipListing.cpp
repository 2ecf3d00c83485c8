#include "ZipListing.h"

#include "ChildProcess.h"
#include "ZipCentralDirectory.h"
#include "ZipProcess7Zip.h"
#include "ZipProcessor.h"

#include <QDebug>
#include <QElapsedTimer>

namespace Zip {

namespace {

// Entries follow this line; before it 7-Zip describes the archive itself.
const QString ENTRIES_START = QStringLiteral("----------");
const QString PATH_KEY = QStringLiteral("Path = ");
const QString SIZE_KEY = QStringLiteral("Size = ");
// A listing line is short; one that is not is no listing line and is dropped.
const int MAX_LINE_BYTES = 64 * 1024;

} // namespace

bool Listing::read(const QString &exePath, const QString &zipFile)
{
    // The directory read in this process costs no child; 7-Zip, which also reads
    // archives whose directory is damaged or shifted, lists the rest as it will unpack them.
    if (CentralDirectory::read(zipFile, [this](const QString &path, qint64 size) { addEntry(path, size); }))
        return true;
    *this = Listing();
    return readWith7Zip(exePath, zipFile);
}

bool Listing::readWith7Zip(const QString &exePath, const QString &zipFile)
{
    // Tied to the shell like every 7-Zip run: it dies with it.
    ChildProcess process;
    process.setProgram(exePath);
    process.setArguments(
            {QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("--"), Process7Zip::nativePath(zipFile)});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(Process7Zip::START_TIMEOUT_MS)) {
        m_errorString = QStringLiteral("7-Zip cannot be started: %1").arg(process.errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    QByteArray partial;
    for (;;) {
        const qint64 left = Processor::BLOCKING_TIMEOUT_MS - clock.elapsed();
        if (left > 0 && process.waitForReadyRead(static_cast<int>(left))) {
            takeOutput(partial, process.readAll());
            continue;
        }
        // No more output: the run ended, or it went quiet or overran its time.
        const qint64 rest = Processor::BLOCKING_TIMEOUT_MS - clock.elapsed();
        if (process.state() == QProcess::NotRunning || (rest > 0 && process.waitForFinished(static_cast<int>(rest))))
            break;
        process.end();
        m_errorString = QStringLiteral("7-Zip did not list the archive in time");
        qDebug().noquote() << QStringLiteral("[Zip::Listing] ") + m_errorString;
        return false;
    }
    takeOutput(partial, process.readAll() + '\n');
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        m_errorString = QStringLiteral("7-Zip could not list the archive (exit code %1)").arg(process.exitCode());
        return false;
    }
    return true;
}

void Listing::takeOutput(QByteArray &partial, const QByteArray &output)
{
    partial += output;
    int from = 0;
    int end;
    while ((end = partial.indexOf('\n', from)) >= 0) {
        takeLine(QString::fromUtf8(partial.constData() + from, end - from).trimmed());
        from = end + 1;
    }
    partial.remove(0, from);
    if (partial.size() > MAX_LINE_BYTES)
        partial.clear();
}

void Listing::takeLine(const QString &line)
{
    if (!m_inEntries) {
        m_inEntries = line == ENTRIES_START;
        return;
    }
    if (line.startsWith(PATH_KEY)) {
        m_currentPath = line.mid(PATH_KEY.size());
        return;
    }
    if (!line.startsWith(SIZE_KEY))
        return;
    bool ok = false;
    const qint64 size = line.mid(SIZE_KEY.size()).toLongLong(&ok);
    if (ok)
        addEntry(m_currentPath, size);
}

void Listing::addEntry(const QString &path, qint64 size)
{
    ++m_entryCount;
    m_totalSize += size;
    if (size > m_largestSize) {
        m_largestSize = size;
        m_largestPath = path;
    }
}

int Listing::entryCount() const { return m_entryCount; }

qint64 Listing::largestSize() const { return m_largestSize; }

QString Listing::largestPath() const { return m_largestPath; }

qint64 Listing::totalSize() const { return m_totalSize; }

QString Listing::errorString() const { return m_errorString; }

} // namespace Zip
