#include "ZipProcessor.h"

#include "AppEnv.h"
#include "ChildProcess.h"
#include "ZipProcess7Zip.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

namespace Zip {

namespace {

// "*.*" means every file on Windows; elsewhere 7-Zip matches it only against
// names holding a dot, which would silently drop parts without one.
#ifdef Q_OS_WIN
const QString EVERY_FILE = QStringLiteral("*.*");
#else
const QString EVERY_FILE = QStringLiteral("*");
#endif

// Ends 7-Zip's switches: names from the page that start with "-" or "@" are
// then taken as names, not as switches or list files.
const QString END_OF_SWITCHES = QStringLiteral("--");

// 7-Zip stores a relative directory argument as a prefix of every entry, so
// directories always reach it absolute and without a trailing separator.
QString absoluteDirPath(const QString &dirPath)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(dirPath)).absoluteFilePath());
}

} // namespace

Processor::Processor(QObject *parent)
    : QObject(parent)
{ }

QString Processor::getPathTo7ZipExe() const
{
    const QString configured = AppEnv::getPathTo7ZipExe();
    if (!configured.isEmpty())
        return configured;
    const QDir appDir = AppEnv::getApplicationDir();
    for (const QString &candidate :
         {QStringLiteral("integrations/7zip/7z.exe"), QStringLiteral("integrations/7zip/7z")}) {
        if (QFileInfo::exists(appDir.absoluteFilePath(candidate)))
            return QFileInfo(appDir.absoluteFilePath(candidate)).absoluteFilePath();
    }
    return QString();
}

bool Processor::isAvailable() const
{
    const QString path = getPathTo7ZipExe();
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString Processor::getAvailableErrorCode() const
{
    return isAvailable() ? QString() : QStringLiteral("exe_file_not_exists");
}

bool Processor::zipDir(const QString &dirPath, const QString &pathToZip, const QString &prefix)
{
    if (!isAvailable())
        return false;
    const ZipDirCall call{dirPath, pathToZip, prefix, !QFileInfo::exists(pathToZip)};
    // 7-Zip would leave an empty archive and call it a warning.
    if (!QFileInfo::exists(absoluteDirPath(dirPath))) {
        failZipDir(call, QStringLiteral("the folder to pack does not exist"));
        return true;
    }
    Process7Zip *pack = newZipDirRun(call);
    connect(pack, &Process7Zip::finished, this, [this, call, pack] {
        if (zipDirRunFailed(call, pack))
            return;
        if (call.prefix.isEmpty())
            emit zipDirFinished(call.dirPath, call.pathToZip, call.prefix);
        else
            renameTopFolder(call);
    });
    pack->command(QStringLiteral("a"),
                  {QStringLiteral("-tzip"), END_OF_SWITCHES, Process7Zip::nativePath(pathToZip),
                   Process7Zip::nativePath(absoluteDirPath(dirPath))});
    return true;
}

void Processor::renameTopFolder(const ZipDirCall &call)
{
    Process7Zip *rename = newZipDirRun(call);
    connect(rename, &Process7Zip::finished, this, [this, call, rename] {
        if (!zipDirRunFailed(call, rename))
            emit zipDirFinished(call.dirPath, call.pathToZip, call.prefix);
    });
    const QString topFolder = QFileInfo(absoluteDirPath(call.dirPath)).fileName();
    rename->command(QStringLiteral("rn"), {END_OF_SWITCHES, call.pathToZip, topFolder, call.prefix});
}

Process7Zip *Processor::newZipDirRun(const ZipDirCall &call)
{
    auto *run = new Process7Zip(getPathTo7ZipExe(), this);
    run->setTimeLimit(ChildProcess::timeLimit(ZIP_DIR_RUN_LIMIT_MS));
    connect(run, &Process7Zip::error, this, [this, call, run] { failZipDir(call, run->failure()); });
    return run;
}

bool Processor::zipDirRunFailed(const ZipDirCall &call, const Process7Zip *run)
{
    if (!run->succeeded()) {
        failZipDir(call, run->failure());
        return true;
    }
    // A full disk can end a run without an archive.
    if (!QFileInfo::exists(call.pathToZip)) {
        failZipDir(call, QStringLiteral("7-Zip wrote no archive"));
        return true;
    }
    return false;
}

void Processor::failZipDir(const ZipDirCall &call, const QString &cause)
{
    qDebug().noquote() << QStringLiteral("[Zip::Processor::zipDir] %1 not packed into %2: %3")
                                  .arg(call.dirPath, call.pathToZip, cause);
    // An archive this call began is incomplete; one that was there before is
    // still whole (7-Zip replaces it only after a complete update).
    if (call.archiveIsNew && QFile::remove(call.pathToZip))
        qDebug().noquote() << QStringLiteral("[Zip::Processor::zipDir] Incomplete archive removed: ") + call.pathToZip;
    emit zipDirError(call.dirPath, call.pathToZip, call.prefix);
}

QString Processor::zipToDir(const QString &filePath, const QString &dirPath, bool overwrite)
{
    const QString target = QDir::fromNativeSeparators(dirPath + QLatin1Char('/') + QFileInfo(filePath).baseName()
                                                      + QStringLiteral(".zip"));
    if (overwrite && QFile::exists(target))
        QFile::remove(target);
    qDebug().noquote()
            << QStringLiteral("[Zip::Processor::zipToDir] file: %1 dir: %2 target: %3").arg(filePath, dirPath, target);
    return QFile::copy(filePath, target) ? target : QString();
}

QString Processor::zipToTmpDir2(const QString &filePath, const QDir &dir, bool overwrite)
{
    const QString dirPath = dir.absolutePath();
    if (dir.exists()) {
        qInfo().noquote() << QStringLiteral("tempCovrelDir exists: ") + dirPath;
    } else if (!QDir().mkdir(dirPath)) {
        qCritical().noquote() << QStringLiteral("Cannot create temp dir tempCovrelDir: ") + dirPath;
        return QString();
    } else {
        qInfo().noquote() << QStringLiteral("create tempCovrelDir: ") + dirPath;
    }
    return zipToDir(filePath, QDir::fromNativeSeparators(dirPath), overwrite);
}

QString Processor::zipToTmpDir(const QString &filePath, bool overwrite)
{
    const QString dirPath = QDir::fromNativeSeparators(QDir::tempPath());
    if (!QDir(dirPath).exists() && !QDir().mkdir(dirPath))
        return QString();
    qDebug().noquote() << QStringLiteral("[Zip::Processor::zipToTmpDir] file: %1 dir: %2 overwrite: %3")
                                  .arg(filePath, dirPath, overwrite ? QStringLiteral("true") : QStringLiteral("false"));
    return zipToDir(filePath, dirPath, overwrite);
}

QDir Processor::getTempDir() const
{
    const QDir storeTmp = AppEnv::getStoreTmpDir();
    if (storeTmp.path().isEmpty())
        return QDir(QDir::fromNativeSeparators(QDir::tempPath()));
    return storeTmp;
}

bool Processor::cleanupDir(const QDir &dir)
{
    qDebug().noquote() << QStringLiteral("[Zip::Processor::cleanupDir] dir: ") + dir.absolutePath();
    if (!dir.exists())
        return true;
    return QDir(dir.absolutePath()).removeRecursively();
}

bool Processor::extractToDir(const QString &zipFile, const QDir &dir)
{
    const QString dirPath = absoluteDirPath(dir.absolutePath());
    qDebug().noquote() << QStringLiteral("[Zip::Processor::extractToDir] 7z: %1 zip: %2 dir: %3")
                                  .arg(getPathTo7ZipExe(), zipFile, dirPath);
    if (dir.exists())
        QDir(dirPath).removeRecursively();
    const bool ok = runBlocking(QStringLiteral("x"),
                                {Process7Zip::nativePath(QStringLiteral("-o%1").arg(dirPath)), QStringLiteral("-r"),
                                 END_OF_SWITCHES, Process7Zip::nativePath(zipFile)});
    qDebug().noquote() << QStringLiteral("Unzip: ") + zipFile;
    return ok;
}

bool Processor::archiveDir(const QString &zipFile, const QDir &dir)
{
    const QString dirPath = absoluteDirPath(dir.absolutePath());
    qDebug().noquote() << QStringLiteral("[Zip::Processor::archiveDir] fullPathZip: ") + zipFile
                    + QStringLiteral(" dir: ") + dirPath;
    const bool ok = runBlocking(QStringLiteral("a"),
                                {QStringLiteral("-r"), END_OF_SWITCHES, Process7Zip::nativePath(zipFile),
                                 Process7Zip::nativePath(dirPath + QLatin1Char('/') + EVERY_FILE)});
    qDebug().noquote() << QStringLiteral("Zip: ") + zipFile;
    return ok;
}

bool Processor::runBlocking(const QString &command, const QStringList &arguments)
{
    // Local run: leaving this function destroys it, killing a run that overran.
    Process7Zip run(getPathTo7ZipExe());
    run.command(command, arguments);
    if (!run.waitForFinished(BLOCKING_TIMEOUT_MS)) {
        qDebug().noquote() << QStringLiteral("[Zip::Processor] 7-Zip did not finish: ") + command;
        return false;
    }
    if (!run.succeeded())
        qDebug().noquote() << QStringLiteral("[Zip::Processor] %1: %2").arg(command, run.failure());
    return run.succeeded();
}

} // namespace Zip
