#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// Process-wide settings read from the command line and the fixed directory
// roles of the installation. Static only; every path handed out uses "/".
class AppEnv
{
public:
    AppEnv() = delete;

    static const QString CONTENT_DIR_NAME;
    static const QString CONTENT_DATA_DIR_NAME;
    static const QString STORE_DIR_NAME;
    static const QString STORE_DOCS_DIR_NAME;
    static const QString STORE_TMP_DIR_NAME;

    static QString getUrl();
    static void setUrl(const QString &value);
    static QString getUrlIde();
    static void setUrlIde(const QString &value);
    static QString getDebugFilePath();
    static void setDebugFilePath(const QString &value);
    static bool isDebugFilePath();
    static QString getJavaHomeDirPath();
    static void setJavaHomeDirPath(const QString &value);
    static QString getTalqDorvHomeDirPath();
    static void setTalqDorvHomeDirPath(const QString &value);
    static QString getTalqDorvJarPath();
    static void setTalqDorvJarPath(const QString &value);
    static QString getTalqDorvDbPath();
    static void setTalqDorvDbPath(const QString &value);
    static QString getPathTo7ZipExe();
    static void setPathTo7ZipExe(const QString &value);
    static QString getPathToWkhtmltopdfExe();
    static void setPathToWkhtmltopdfExe(const QString &value);
    static QString getPdfPrefixPath();
    static void setPdfPrefixPath(const QString &value);

    static bool isDev();
    static void setDev(bool value);
    static bool isIde();
    static void setIde(bool value);
    static bool isInternalLink();
    static void setInternalLink(bool value);
    static bool isDebug();
    static void setDebug(bool value);
    static bool isMultipleInstances();
    static void setMultipleInstances(bool value);
    static bool isShowMaximized();
    static void setShowMaximized(bool value);

    static QString getApplicationDirPath();
    static QDir getApplicationDir();
    static QDir getContentDir();
    static QString getContentDirPath();
    static void setContentDirPath(const QString &path);
    static QDir getContentDataDir();
    static QString getContentDataDirPath();
    static void setContentDataDirPath(const QString &path);
    // store/ beside the program, or $XDG_DATA_HOME/covrel/store when the
    // program's folder is not writable; created when missing.
    static QDir getStoreDir();
    static QString getStoreDirPath();
    static QDir getStoreDocsDir();
    static QString getStoreDocsDirPath();
    static void setStoreDocsDirPath(const QString &path);
    static QDir getStoreTmpDir();
    static QString getStoreTmpFilePath(const QString &name);
    // The caller owns the returned file object.
    static QFile *getContentFile(const QString &name);
    static QFile *getContentDataFile(const QString &name);
    static QString getFilePath(const QString &path);
    static QDir mkdir(const QDir &dir);

    // Joins a relative name to the directory; an absolute name is kept as is.
    static QString resolve(const QDir &dir, const QString &name);
    static bool isAbsoluteName(const QString &name);

    // Tests run the installation from a temporary directory instead of the
    // one holding the test executable. Empty restores the real one.
    static void overrideApplicationDirPath(const QString &path);
    // Back to the defaults of a fresh start.
    static void resetToDefaults();
};
