#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Files anywhere on the machine, in a working directory the page names on
// each call: read, save atomically, delete, copy and check in batches, list a
// folder. Each call returns its outcome, item by item for the batches; the
// bridge answers the page with it before the call returns.
class WorkDirFiles : public QObject
{
    Q_OBJECT
public:
    // The outcome of one file (or one item of a batch): `path` is what the
    // success answer reports; on failure errorCode and errorMessage say why.
    struct Outcome
    {
        QString path;
        QString errorCode;
        QString errorMessage;
        bool ok() const { return errorCode.isEmpty(); }
    };
    // One item of a copyFile batch.
    struct Copy
    {
        QString source;
        QString target;
        Outcome outcome;
    };

    explicit WorkDirFiles(QObject *parent);

    Outcome openFile(const QString &handlerId, const QString &workDir, const QString &fname, QString *content);
    Outcome saveFile(const QString &handlerId, const QString &workDir, const QString &fname, const QString &data);
    Outcome deleteFile(const QString &handlerId, const QString &workDir, const QString &fname);
    // The items in input order; none, and `refused` set, when the input as a whole is refused.
    QList<Copy> copyFile(const QString &handlerId, const QStringList &from, const QString &workdirTo,
                         const QStringList &to, bool overwrite, Outcome *refused);
    QList<Outcome> checkExisted(const QString &handlerId, const QString &workDir, const QStringList &paths);
    // The names of the plain files in the folder matching `pattern`.
    Outcome getFilesInFolder(const QString &handlerId, const QString &workDir, const QString &pattern,
                             QStringList *files);

    // An item's entry in a batch's status list: "ok" or "false".
    static QString status(const Outcome &outcome);

private:
    // `folder` + "/" + `name` with the system's separators: the one place
    // paths of this class become native.
    static QString nativePath(const QString &folder, const QString &name);
    static QString nativePath(const QString &path);
    // The answer for a name the file system must not see.
    static Outcome invalidName(const QString &path);
    static Outcome copyOne(const QString &source, const QString &target, bool overwrite);
    // True when both paths lead to one existing file (links and "." parts resolved).
    static bool sameFile(const QString &first, const QString &second);
};
