#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QObject>
#include <QScopedPointer>
#include <QVariantMap>

class QFile;

// The JSON journal: one file in store/logs holding every record of the run as
// one indented JSON array, complete after every record. A file that grows
// past 10 MiB is closed and a new one started.
class LogWriter : public QObject
{
    Q_OBJECT
public:
    static const qint64 MAX_FILE_SIZE = 10485760;

    static LogWriter *buildInstance(QObject *parent);
    static LogWriter *instance();
    static void writeMessage(const QString &message, const QVariantMap &data);
    static void dumpPlatformInfo();
    static void registerCustomDebugMessageHandler();

    ~LogWriter() override;

    void write(const QString &message, const QVariantMap &data);
    void reset();
    void dumpJsonToFile();

    QString currentFilePath() const;

private:
    explicit LogWriter(QObject *parent);

    QString uniqueFileName(const QString &dirPath) const;
    bool openFile();
    // Appends one record after those on disk; false, with the file as it was
    // before, when it could not be written.
    bool appendRecord(const QJsonObject &record);
    void restoreLastGoodState(qint64 start, bool first);
    void reportFailedAppend();
    void rollOverIfTooLarge();

    QScopedPointer<QFile> m_file;
    QJsonArray m_records;
    // Records already in the file; the ones after it are written by the next dump.
    int m_recordsOnDisk = 0;
    // Where the closing "]" line starts, so a record is appended in place.
    qint64 m_tailPos = 0;
    // A record was left out and nothing has been written since.
    bool m_appendFailing = false;
};
