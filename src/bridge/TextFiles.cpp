#include "TextFiles.h"

#include "AnswerLimits.h"

#include <QFile>
#include <QSaveFile>

namespace {
// Large files are copied in pieces, so a copy never holds all of them in memory.
constexpr qint64 COPY_CHUNK = 1024 * 1024;

// Unbuffered: every write reaches the system at once, so a failure shows here
// and not in a flush that the save file would not notice.
constexpr QIODevice::OpenMode SAVE_MODE = QIODevice::WriteOnly | QIODevice::Unbuffered;

// A short write (a full disk, a size limit) is not an error to QFile; writing
// the rest either finishes the job or fails with the system's reason.
bool writeAll(QSaveFile &file, const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 written = file.write(data + done, size - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool copyContent(QFile &from, QSaveFile &to)
{
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(COPY_CHUNK);
        if (chunk.isEmpty() || !writeAll(to, chunk.constData(), chunk.size()))
            return false;
    }
    return true;
}
} // namespace

QString TextFiles::readAll(QFile &file)
{
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

TextFiles::Read TextFiles::readForAnswer(QFile &file, const QString &operation, const QString &handlerId,
                                         qint64 otherChars)
{
    const Read tooLarge{QString(), AnswerLimits::TOO_LARGE, AnswerLimits::tooLargeMessage()};
    // A UTF-8 byte sequence never gives more than one UTF-16 unit per byte
    // and never fewer than one per three: the size alone can tell.
    if (!AnswerLimits::fits(otherChars + file.size() / 3, operation, handlerId))
        return tooLarge;
    const QString content = readAll(file);
    if (!AnswerLimits::fits(otherChars + content.size(), operation, handlerId))
        return tooLarge;
    return {content, QString(), QString()};
}

QByteArray TextFiles::withCrLf(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\n', "\r\n");
    return bytes;
}

// An unfinished save file is discarded when it goes out of scope; the target
// is only ever replaced by commit().
TextFiles::SaveResult TextFiles::saveAtomically(const QString &path, const QByteArray &bytes, QString *errorText)
{
    QSaveFile file(path);
    if (!file.open(SAVE_MODE)) {
        *errorText = file.errorString();
        return SaveResult::OpenFailed;
    }
    if (!writeAll(file, bytes.constData(), bytes.size()) || !file.commit()) {
        *errorText = file.errorString();
        return SaveResult::CommitFailed;
    }
    return SaveResult::Saved;
}

bool TextFiles::copyAtomically(const QString &source, const QString &target, QString *errorText)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        *errorText = from.errorString();
        return false;
    }
    QSaveFile to(target);
    if (!to.open(SAVE_MODE)) {
        *errorText = to.errorString();
        return false;
    }
    if (!copyContent(from, to)) {
        *errorText = from.error() != QFileDevice::NoError ? from.errorString() : to.errorString();
        return false;
    }
    if (!to.commit()) {
        *errorText = to.errorString();
        return false;
    }
    return true;
}
