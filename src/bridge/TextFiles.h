#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Files as the page exchanges them: UTF-8 text whose line ends do not depend
// on the platform, and writes that replace a file only once all of it is on
// disk, so a failed write never costs the page its earlier file.
class TextFiles
{
public:
    TextFiles() = delete;

    enum class SaveResult { Saved, OpenFailed, CommitFailed };

    // A text read for the page: the content, or why there is none.
    struct Read
    {
        QString content;
        QString errorCode;
        QString errorMessage;
        bool ok() const { return errorCode.isEmpty(); }
    };

    // Reads the rest of an opened file as UTF-8, CR LF pairs turned into LF.
    static QString readAll(QFile &file);
    // The same for an answer to the page that carries `otherChars` besides
    // the content: a file too large for one answer is refused (TOO_LARGE),
    // and one far beyond that is not even read.
    static Read readForAnswer(QFile &file, const QString &operation, const QString &handlerId, qint64 otherChars);
    // Every LF stored as CR LF, as a Windows text-mode write does, on every
    // platform; readAll() turns the result back into exactly `text`.
    static QByteArray withCrLf(const QString &text);

    // Writes `bytes` to a temporary file beside `path` that replaces `path`
    // only when complete. On failure `errorText` holds the system's reason
    // and any earlier file at `path` is untouched.
    static SaveResult saveAtomically(const QString &path, const QByteArray &bytes, QString *errorText);
    // Copies `source` over `target` the same way (an existing target is
    // replaced only by a complete copy).
    static bool copyAtomically(const QString &source, const QString &target, QString *errorText);
};
