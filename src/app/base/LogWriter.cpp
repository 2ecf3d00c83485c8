#include "LogWriter.h"

#include "AppEnv.h"
#include "MessageHandler.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

namespace {

LogWriter *s_instance = nullptr;

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
const QByteArray kOpen = QByteArrayLiteral("[\r\n");
const QByteArray kClose = QByteArrayLiteral("]\r\n");
const QByteArray kSeparator = QByteArrayLiteral(",\r\n");

// A short write (a full disk, a size limit) is not an error to QFile; writing
// the rest either finishes the record or fails with the system's reason.
bool writeAll(QFile &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// The journal is written with CR LF line ends on every platform.
QByteArray withCrLf(QByteArray text) { return text.replace('\n', kLineEnd); }

// A record as it stands inside the indented array: "    {\r\n ... \r\n    }",
// without the separator or the trailing line end.
QByteArray recordText(const QJsonObject &record)
{
    QByteArray text = QJsonDocument(QJsonArray{record}).toJson(QJsonDocument::Indented);
    // The one-element array is "[\n" + record + "\n]\n".
    text = text.mid(2, text.size() - 2 - 3);
    return withCrLf(text);
}

} // namespace

LogWriter::LogWriter(QObject *parent)
    : QObject(parent)
{ }

LogWriter::~LogWriter()
{
    if (s_instance == this)
        s_instance = nullptr;
}

LogWriter *LogWriter::buildInstance(QObject *parent)
{
    s_instance = new LogWriter(parent);
    s_instance->reset();
    return s_instance;
}

LogWriter *LogWriter::instance() { return s_instance; }

void LogWriter::writeMessage(const QString &message, const QVariantMap &data)
{
    if (s_instance)
        s_instance->write(message, data);
}

void LogWriter::write(const QString &message, const QVariantMap &data)
{
    QJsonObject record;
    record.insert(QStringLiteral("timestamp"),
                  QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    record.insert(QStringLiteral("message"), message);
    record.insert(QStringLiteral("data"), QJsonObject::fromVariantMap(data));
    m_records.append(record);
    dumpJsonToFile();
}

void LogWriter::reset()
{
    qDebug().noquote() << QStringLiteral("[LogWriter] Сбрасываем состояние журналирования");
    const QDir logsDir(AppEnv::getStoreDir().absoluteFilePath(QStringLiteral("logs")));
    if (!logsDir.exists()) {
        qDebug().noquote() << QStringLiteral("[LogWriter] Директории для хранения логов нет создаем. Путь: ")
                        + logsDir.absolutePath();
        QDir().mkpath(logsDir.absolutePath());
    }
    const QString fileName = uniqueFileName(logsDir.absolutePath());
    qDebug().noquote() << QStringLiteral("[LogWriter] Новый файл для логов: %1").arg(fileName);
    if (m_file && m_file->isOpen()) {
        qDebug().noquote() << QStringLiteral("[LogWriter] Закрываем старый файл");
        dumpJsonToFile();
        m_file->close();
    }
    m_file.reset(new QFile(logsDir.absoluteFilePath(fileName)));
    m_records = QJsonArray();
    m_recordsOnDisk = 0;
    m_tailPos = 0;
    m_appendFailing = false;
    qDebug().noquote() << QStringLiteral("[LogWriter] Создан новый файл для логов и новый документ для журналирования");
}

// Named after the time the file is started. A second file started within the
// same second (a roll-over, or a quick restart) gets a numbered suffix instead
// of reopening, and overwriting, the first one.
QString LogWriter::uniqueFileName(const QString &dirPath) const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString name = QStringLiteral("%1.json").arg(stamp);
    for (int n = 1; QFile::exists(dirPath + QLatin1Char('/') + name); ++n)
        name = QStringLiteral("%1_%2.json").arg(stamp).arg(n);
    return name;
}

bool LogWriter::openFile()
{
    if (m_file->isOpen())
        return true;
    // Unbuffered: a write that fails (a full disk) fails here, where the torn
    // record can be cut off again, and not in a later flush.
    if (!m_file->open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    // Whatever an earlier writer left is replaced by this run's array.
    m_file->resize(0);
    m_recordsOnDisk = 0;
    m_tailPos = 0;
    return true;
}

void LogWriter::dumpJsonToFile()
{
    if (!m_file)
        return;
    if (!openFile()) {
        qWarning().noquote() << QStringLiteral("[LogWriter] Нет открытого файла логов. Выходим из метода логирования.");
        return;
    }
    // The file holds the same bytes a full rewrite of the array would give,
    // but only the new records are written: a record costs the same at 9 MiB
    // as at 1 KiB. A record that does not fit (a full disk) is left out, so
    // the ones after it still get their chance.
    while (m_recordsOnDisk < m_records.size()) {
        if (appendRecord(m_records.at(m_recordsOnDisk).toObject())) {
            ++m_recordsOnDisk;
            m_appendFailing = false;
        } else {
            m_records.removeAt(m_recordsOnDisk);
        }
    }
    rollOverIfTooLarge();
}

bool LogWriter::appendRecord(const QJsonObject &record)
{
    const bool first = m_recordsOnDisk == 0;
    const qint64 start = first ? 0 : m_tailPos;
    QByteArray chunk = (first ? kOpen : kSeparator) + recordText(record);
    const qint64 tail = start + chunk.size();
    chunk += kLineEnd + kClose;
    if (m_file->seek(start) && writeAll(*m_file, chunk)) {
        m_tailPos = tail;
        return true;
    }
    reportFailedAppend();
    restoreLastGoodState(start, first);
    return false;
}

// Cuts the torn record off and closes the array again: the file is the
// complete document it was before the record (an empty array before the first).
void LogWriter::restoreLastGoodState(qint64 start, bool first)
{
    m_file->unsetError();
    const QByteArray end = first ? kOpen + kClose : kLineEnd + kClose;
    if (!m_file->resize(start) || !m_file->seek(start) || !writeAll(*m_file, end))
        qWarning().noquote() << QStringLiteral("[LogWriter] Не удалось восстановить файл журнала %1: %2")
                                        .arg(m_file->fileName(), m_file->errorString());
    m_file->unsetError();
}

// Said once for a run of failed records, not once per record.
void LogWriter::reportFailedAppend()
{
    if (m_appendFailing)
        return;
    m_appendFailing = true;
    qWarning().noquote() << QStringLiteral("[LogWriter] Запись не поместилась в журнал %1 (%2) и пропущена; "
                                           "журнал оставлен целым, следующие записи будут дописываться.")
                                    .arg(m_file->fileName(), m_file->errorString());
}

void LogWriter::rollOverIfTooLarge()
{
    const qint64 size = m_file->size();
    if (size <= MAX_FILE_SIZE)
        return;
    qDebug().noquote()
            << QStringLiteral(
                       "[LogWriter] Создаем новый файл, так как размер файла лога превысел %1. Текущий размер %2")
                       .arg(MAX_FILE_SIZE)
                       .arg(size);
    m_file->close();
    reset();
}

QString LogWriter::currentFilePath() const { return m_file ? m_file->fileName() : QString(); }

void LogWriter::dumpPlatformInfo()
{
    QVariantMap data;
    data.insert(QStringLiteral("CovrelVersion"), QStringLiteral(COVREL_VERSION));
    data.insert(QStringLiteral("CpuArch"), QSysInfo::currentCpuArchitecture());
#ifdef Q_OS_WIN
    data.insert(QStringLiteral("IsWindows"), true);
    data.insert(QStringLiteral("WindowsName"), QSysInfo::productType());
    data.insert(QStringLiteral("WindowsVersion"), QSysInfo::productVersion());
    writeMessage(QStringLiteral("Данные по приложению. Windows: %1").arg(QSysInfo::productType()), data);
#else
    data.insert(QStringLiteral("IsWindows"), false);
    writeMessage(QStringLiteral("Данные по приложению"), data);
#endif
}

void LogWriter::registerCustomDebugMessageHandler() { qInstallMessageHandler(customQDebugMessageHandler); }
