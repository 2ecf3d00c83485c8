#pragma once

#include <QObject>
#include <QString>

class CovrelBridge;
class QFile;

// The page's private store and the data files shipped with the content:
// reading and writing text files there, existence checks, and showing a
// store folder in the desktop's file manager. Answers are relayed by the
// bridge under the same signal names.
class StoreFiles : public QObject
{
    Q_OBJECT
public:
    explicit StoreFiles(CovrelBridge *bridge);

    void readFromContentData(const QString &handlerId, const QString &fileName, bool useCurrentFolderPath);
    void readFromStore(const QString &handlerId, const QString &fileName);
    void writeToStore(const QString &handlerId, const QString &fileName, const QString &content);
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

signals:
    void readFromContentDataFinished(const QString &handlerId, const QString &fileName, const QString &content);
    void readFromContentDataError(const QString &handlerId, const QString &fileName, const QString &errorCode,
                                  const QString &errorMessage);
    void readFromStoreFinished(const QString &handlerId, const QString &fileName, const QString &content);
    void readFromStoreError(const QString &handlerId, const QString &fileName, const QString &errorCode,
                            const QString &errorMessage);
    void writeToStoreFinished(const QString &handlerId, const QString &fileName);
    void writeToStoreError(const QString &handlerId, const QString &fileName, const QString &errorMessage);

private:
    enum class ReadResult { Read, NotFound, CannotOpen };
    static ReadResult readText(const QString &handlerId, const QString &fileName, QFile &file, QString *content);
    static bool existsLogged(const QString &fileName, QFile &file);
};
