#pragma once

#include "TextFiles.h"

#include <QObject>
#include <QString>

class QFile;

// The page's private store and the data files shipped with the content:
// reading and writing text files there, existence checks, and showing a
// store folder in the desktop's file manager. Each call returns its outcome;
// the bridge answers the page with it.
class StoreFiles : public QObject
{
    Q_OBJECT
public:
    explicit StoreFiles(QObject *parent);

    TextFiles::Read readFromContentData(const QString &handlerId, const QString &fileName, bool useCurrentFolderPath);
    TextFiles::Read readFromStore(const QString &handlerId, const QString &fileName);
    // True when written; otherwise `errorMessage` holds the page's message.
    bool writeToStore(const QString &handlerId, const QString &fileName, const QString &content, QString *errorMessage);
    bool isStoreFileExists(const QString &fileName);
    bool isContentDataFileExists(const QString &fileName);
    bool checkStoreDir();
    void openStoreDir(const QString &dir);

    // New, unopened file objects; the caller owns them.
    // `name` resolved against the store directory (created when missing).
    static QFile *getStoreFile(const QString &name);
    // `name` in the content data directory; a leading "data/" or "/data/" is
    // dropped, so data/x.json, /data/x.json and x.json are the same file.
    static QFile *getContentDataFile(const QString &name);
    // The working directory's path immediately followed by `name`.
    static QFile *getDataFile(const QString &name);

private:
    // Reads `file` for the request; `cannotOpenMessage` is the operation's own text.
    static TextFiles::Read readText(const QString &operation, const QString &handlerId, const QString &fileName,
                                    QFile &file, const QString &cannotOpenMessage);
    static bool existsLogged(const QString &fileName, QFile &file);
};
