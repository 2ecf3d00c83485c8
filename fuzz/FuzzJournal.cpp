// Records of any shape appended to the JSON journal: after every record the
// journal file must be one valid JSON array holding every record so far.
#include "AppEnv.h"
#include "FuzzSupport.h"
#include "LogWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace {

const int kMaxRecords = 16;

QTemporaryDir &installation()
{
    static QTemporaryDir dir;
    return dir;
}

void checkJournal(const QString &path, int records)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly), path.toUtf8());
    const QByteArray text = file.readAll();
    QJsonParseError error{};
    const QJsonDocument journal = QJsonDocument::fromJson(text, &error);
    FUZZ_CHECK(error.error == QJsonParseError::NoError, error.errorString().toUtf8() + "\n" + text);
    FUZZ_CHECK(journal.isArray() && journal.array().size() == records, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    AppEnv::overrideApplicationDirPath(installation().path());
    Fuzz::Input input(data, size);
    LogWriter *journal = LogWriter::buildInstance(nullptr);
    for (int records = 1; records <= kMaxRecords && !input.atEnd(); ++records) {
        const QString message = input.text(200);
        LogWriter::writeMessage(message, input.map(4));
        checkJournal(journal->currentFilePath(), records);
    }
    const QString path = journal->currentFilePath();
    delete journal;
    QFile::remove(path);
    return 0;
}
