#include "AppEnv.h"

#include "ExecutableLocation.h"

#include <QDebug>
#include <QFileInfo>
#include <QStandardPaths>

const QString AppEnv::CONTENT_DIR_NAME = QStringLiteral("content");
const QString AppEnv::CONTENT_DATA_DIR_NAME = QStringLiteral("data");
const QString AppEnv::STORE_DIR_NAME = QStringLiteral("store");
const QString AppEnv::STORE_DOCS_DIR_NAME = QStringLiteral("docs");
const QString AppEnv::STORE_TMP_DIR_NAME = QStringLiteral("tmp");

namespace {

struct Settings
{
    QString url;
    QString urlIde;
    bool dev = false;
    bool ide = false;
    bool internalLink = false;
    bool debug = false;
    QString debugFilePath;
    bool multipleInstances = true;
    bool showMaximized = true;
    QString contentDirPath;
    QString contentDataDirPath;
    QString storeDocsDirPath;
    QString javaHomeDirPath;
    QString talqDorvHomeDirPath;
    QString talqDorvJarPath;
    QString talqDorvDbPath;
    QString pathTo7ZipExe;
    QString pathToWkhtmltopdfExe;
    QString pdfPrefixPath;
    QString applicationDirOverride;
};

Settings &settings()
{
    static Settings s;
    return s;
}

QDir dirFromSetting(const QString &configured, const QDir &fallbackParent, const QString &fallbackName)
{
    if (!configured.isEmpty())
        return QDir(QFileInfo(configured).absoluteFilePath());
    return QDir(fallbackParent.absoluteFilePath(fallbackName));
}

// Beside the program when its folder is writable (a copy unpacked anywhere,
// the build tree); otherwise (an installed copy under a system folder) in the
// user's own data directory, so nothing is ever written into the
// installation. Decided once per application directory, like the directory
// itself: a program whose drive goes away keeps its store where it was.
QString storeDirPath(const QDir &applicationDir)
{
    static QString decidedFor;
    static QString decided;
    const QString appDir = applicationDir.absolutePath();
    if (appDir == decidedFor)
        return decided;
    decidedFor = appDir;
    if (QFileInfo(appDir).isWritable()) {
        decided = applicationDir.absoluteFilePath(AppEnv::STORE_DIR_NAME);
        return decided;
    }
    decided = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/covrel/")
            + AppEnv::STORE_DIR_NAME;
    qDebug().noquote()
            << QStringLiteral("Папка программы %1 недоступна для записи, хранилище: %2").arg(appDir, decided);
    return decided;
}

} // namespace

QString AppEnv::getUrl() { return settings().url; }
void AppEnv::setUrl(const QString &value) { settings().url = value; }
QString AppEnv::getUrlIde() { return settings().urlIde; }
void AppEnv::setUrlIde(const QString &value) { settings().urlIde = value; }
QString AppEnv::getDebugFilePath() { return settings().debugFilePath; }
void AppEnv::setDebugFilePath(const QString &value) { settings().debugFilePath = value; }
bool AppEnv::isDebugFilePath() { return !settings().debugFilePath.isEmpty(); }
QString AppEnv::getJavaHomeDirPath() { return settings().javaHomeDirPath; }
void AppEnv::setJavaHomeDirPath(const QString &value) { settings().javaHomeDirPath = value; }
QString AppEnv::getTalqDorvHomeDirPath() { return settings().talqDorvHomeDirPath; }
void AppEnv::setTalqDorvHomeDirPath(const QString &value) { settings().talqDorvHomeDirPath = value; }
QString AppEnv::getTalqDorvJarPath() { return settings().talqDorvJarPath; }
void AppEnv::setTalqDorvJarPath(const QString &value) { settings().talqDorvJarPath = value; }
QString AppEnv::getTalqDorvDbPath() { return settings().talqDorvDbPath; }
void AppEnv::setTalqDorvDbPath(const QString &value) { settings().talqDorvDbPath = value; }
QString AppEnv::getPathTo7ZipExe() { return settings().pathTo7ZipExe; }
void AppEnv::setPathTo7ZipExe(const QString &value) { settings().pathTo7ZipExe = value; }
QString AppEnv::getPathToWkhtmltopdfExe() { return settings().pathToWkhtmltopdfExe; }
void AppEnv::setPathToWkhtmltopdfExe(const QString &value) { settings().pathToWkhtmltopdfExe = value; }
QString AppEnv::getPdfPrefixPath() { return settings().pdfPrefixPath; }
void AppEnv::setPdfPrefixPath(const QString &value) { settings().pdfPrefixPath = value; }

bool AppEnv::isDev() { return settings().dev; }
void AppEnv::setDev(bool value) { settings().dev = value; }
bool AppEnv::isIde() { return settings().ide; }
void AppEnv::setIde(bool value) { settings().ide = value; }
bool AppEnv::isInternalLink() { return settings().internalLink; }
void AppEnv::setInternalLink(bool value) { settings().internalLink = value; }
bool AppEnv::isDebug() { return settings().debug; }
void AppEnv::setDebug(bool value) { settings().debug = value; }
bool AppEnv::isMultipleInstances() { return settings().multipleInstances; }
void AppEnv::setMultipleInstances(bool value) { settings().multipleInstances = value; }
bool AppEnv::isShowMaximized() { return settings().showMaximized; }
void AppEnv::setShowMaximized(bool value) { settings().showMaximized = value; }

QString AppEnv::getApplicationDirPath()
{
    if (!settings().applicationDirOverride.isEmpty())
        return settings().applicationDirOverride;
    // Read once, at start-up: once the drive the program runs from is gone
    // (a lazy unmount) the running executable is found elsewhere ("/covrel"),
    // and the store would follow it to "/store".
    static const QString dirPath = ExecutableLocation::dirPath();
    return dirPath;
}

QDir AppEnv::getApplicationDir() { return QDir(getApplicationDirPath()); }

QDir AppEnv::getContentDir()
{
    return dirFromSetting(settings().contentDirPath, getApplicationDir(), CONTENT_DIR_NAME);
}

QString AppEnv::getContentDirPath() { return getContentDir().absolutePath(); }
void AppEnv::setContentDirPath(const QString &path) { settings().contentDirPath = path; }

QDir AppEnv::getContentDataDir()
{
    return dirFromSetting(settings().contentDataDirPath, getContentDir(), CONTENT_DATA_DIR_NAME);
}

QString AppEnv::getContentDataDirPath() { return getContentDataDir().absolutePath(); }
void AppEnv::setContentDataDirPath(const QString &path) { settings().contentDataDirPath = path; }

QDir AppEnv::getStoreDir() { return mkdir(QDir(storeDirPath(getApplicationDir()))); }

QString AppEnv::getStoreDirPath() { return getStoreDir().absolutePath(); }

QDir AppEnv::getStoreDocsDir()
{
    if (!settings().storeDocsDirPath.isEmpty())
        return QDir(QFileInfo(settings().storeDocsDirPath).absoluteFilePath());
    return mkdir(QDir(getStoreDir().absoluteFilePath(STORE_DOCS_DIR_NAME)));
}

QString AppEnv::getStoreDocsDirPath() { return getStoreDocsDir().absolutePath(); }
void AppEnv::setStoreDocsDirPath(const QString &path) { settings().storeDocsDirPath = path; }

QDir AppEnv::getStoreTmpDir() { return mkdir(QDir(getStoreDir().absoluteFilePath(STORE_TMP_DIR_NAME))); }

QString AppEnv::getStoreTmpFilePath(const QString &name) { return resolve(getStoreTmpDir(), name); }

QFile *AppEnv::getContentFile(const QString &name) { return new QFile(resolve(getContentDir(), name)); }

QFile *AppEnv::getContentDataFile(const QString &name) { return new QFile(resolve(getContentDataDir(), name)); }

QString AppEnv::getFilePath(const QString &path)
{
    static const QString contentDataPrefix = QStringLiteral("contentData://");
    static const QString storeDocsPrefix = QStringLiteral("storeDocs://");
    if (path.startsWith(contentDataPrefix)) {
        QString rest = path;
        rest.remove(contentDataPrefix);
        return resolve(getContentDataDir(), rest);
    }
    if (path.startsWith(storeDocsPrefix)) {
        QString rest = path;
        rest.remove(storeDocsPrefix);
        return resolve(getStoreDocsDir(), rest);
    }
    return path;
}

QDir AppEnv::mkdir(const QDir &dir)
{
    if (!dir.exists()) {
        // Created before the line is logged: in debug mode the log handler
        // asks for the store directory again.
        QDir().mkpath(dir.absolutePath());
        qDebug().noquote() << QStringLiteral("Создаем несущесвующую директории '%1'").arg(dir.absolutePath());
    }
    return dir;
}

bool AppEnv::isAbsoluteName(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')))
        return true;
    // A drive letter ("C:/", "C:\") counts as absolute on every platform.
    return name.size() >= 2 && name.at(0).isLetter() && name.at(1) == QLatin1Char(':');
}

QString AppEnv::resolve(const QDir &dir, const QString &name)
{
    if (isAbsoluteName(name))
        return name;
    // Plain concatenation: "." and ".." segments are kept as the caller gave them.
    return dir.absolutePath() + QLatin1Char('/') + name;
}

void AppEnv::overrideApplicationDirPath(const QString &path) { settings().applicationDirOverride = path; }

void AppEnv::resetToDefaults()
{
    const QString keepOverride = settings().applicationDirOverride;
    settings() = Settings();
    settings().applicationDirOverride = keepOverride;
}
