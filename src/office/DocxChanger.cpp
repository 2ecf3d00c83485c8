#include "DocxChanger.h"

#include "DocumentXML.h"
#include "SettingsXML.h"
#include "WorkClaim.h"
#include "ZipListing.h"
#include "ZipProcessor.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include <cstdio>

namespace {

const QString ERROR_OPEN_FILE = QStringLiteral("errorOpenFile");
const QString ERROR_UNPACK = QStringLiteral("errorUnpack");
const QString ERROR_XML = QStringLiteral("errorXml");
const QString ERROR_PACK = QStringLiteral("errorPack");

// Parts are text and pictures: no honest package comes near these. A package
// listed above them is a bomb that would fill the disk, and the memory once read.
const qint64 MAX_PACKAGE_PART_BYTES = 256LL * 1024 * 1024;
const qint64 MAX_PACKAGE_BYTES = 1024LL * 1024 * 1024;

// fn + 8 upper-case hexadecimal digits, different for every job.
QString uniqueDirName()
{
    QString uuid = QUuid::createUuid().toString();
    uuid.remove(QRegularExpression(QStringLiteral("{|}|-")));
    const QString id = uuid.left(8).toUpper();
    qDebug().noquote() << id;
    return QStringLiteral("fn%1").arg(id);
}

} // namespace

DocxChanger::DocxChanger(const QString &packagePath, const QString &outputPath, QObject *parent)
    : QObject(parent)
    , m_packagePath(packagePath)
    , m_outputPath(outputPath)
    , m_zip(new Zip::Processor(this))
{
    const QString dirPath = QDir::fromNativeSeparators(m_zip->getTempDir().path() + QLatin1Char('/') + uniqueDirName());
    m_tempDir = QDir(dirPath);
    m_settingsPath = QDir::toNativeSeparators(dirPath + QStringLiteral("/word/settings.xml"));
    m_documentPath = QDir::toNativeSeparators(dirPath + QStringLiteral("/word/document.xml"));
}

DocxChanger::~DocxChanger() = default;

bool DocxChanger::open()
{
    qDebug().noquote() << QStringLiteral("fullpath: ") + m_packagePath;
    qDebug().noquote() << QStringLiteral("temp dir: ") + m_zip->getTempDir().path();
    // Claimed before they exist, so that a kill at any point leaves them to the
    // next start's cleanup, and so that another instance's copy of a template
    // of the same name is never overwritten.
    const QString copyPath =
            m_zip->getTempDir().absoluteFilePath(QFileInfo(m_packagePath).baseName() + QStringLiteral(".zip"));
    m_dirClaim.reset(new WorkClaim(m_tempDir.absolutePath()));
    m_copyClaim.reset(new WorkClaim(copyPath));
    if (m_dirClaim->claim() && m_copyClaim->claim())
        m_tempFilePath = m_zip->zipToTmpDir2(m_packagePath, m_zip->getTempDir(), true);
    if (m_tempFilePath.isEmpty()) {
        qCritical().noquote() << QStringLiteral("errorFile")
                              << QStringLiteral("Error copy zip file.: %1").arg(m_packagePath);
        setError(ERROR_OPEN_FILE, QStringLiteral("DocxChanger error: %1").arg(1));
        return true;
    }
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Copy and rename: ") + m_tempFilePath;
    if (!checkListedSizes())
        return true;
    const bool unpacked = m_zip->extractToDir(m_tempFilePath, m_tempDir);
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Extract to dir: ") + m_tempDir.path();
    if (!unpacked) {
        setError(ERROR_UNPACK, notUnpackedMessage());
        return true;
    }
    if (!QFileInfo::exists(m_documentPath)) {
        setError(ERROR_UNPACK, QStringLiteral("В шаблоне %1 нет основной части word/document.xml").arg(m_packagePath));
        return true;
    }
    return false;
}

bool DocxChanger::checkListedSizes()
{
    Zip::Listing listing;
    if (!listing.read(m_zip->getPathTo7ZipExe(), m_tempFilePath)) {
        qDebug().noquote() << QStringLiteral("[DocxChanger] ") + listing.errorString();
        return failWith(ERROR_UNPACK, notUnpackedMessage());
    }
    if (listing.largestSize() > MAX_PACKAGE_PART_BYTES)
        return failWith(ERROR_UNPACK,
                        QStringLiteral("Часть %1 шаблона %2 занимает после распаковки %3 байт, больше допустимых %4")
                                .arg(listing.largestPath(), m_packagePath)
                                .arg(listing.largestSize())
                                .arg(MAX_PACKAGE_PART_BYTES));
    if (listing.totalSize() > MAX_PACKAGE_BYTES)
        return failWith(ERROR_UNPACK,
                        QStringLiteral("Шаблон %1 занимает после распаковки %2 байт, больше допустимых %3")
                                .arg(m_packagePath)
                                .arg(listing.totalSize())
                                .arg(MAX_PACKAGE_BYTES));
    return true;
}

QString DocxChanger::notUnpackedMessage() const
{
    return QStringLiteral("Не удалось распаковать шаблон %1: это не DOCX-пакет или 7-Zip завершился с ошибкой")
            .arg(m_packagePath);
}

bool DocxChanger::updateVars(const TemplateVariables &variables, const QStringList &keyVarsRemoveInCells)
{
    qDebug().noquote() << QStringLiteral("m_settingsPath: ") + m_settingsPath;
    qDebug().noquote() << variables;
    if (!updateSettingsPart(variables))
        return false;
    if (!updateDocumentPart(m_documentPath, variables, keyVarsRemoveInCells))
        return false;
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Update document");
    // Users put variable fields into headers and footers too.
    for (const QString &part : DocumentXML::headerFooterPartPaths(m_tempDir.path())) {
        if (!updateDocumentPart(part, variables, keyVarsRemoveInCells))
            return false;
        qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Update part ") + partName(part);
    }
    return true;
}

bool DocxChanger::updateSettingsPart(const TemplateVariables &variables)
{
    // The settings part is optional in a package; without one there is nowhere to keep variables.
    if (!QFileInfo::exists(m_settingsPath)) {
        qDebug().noquote() << QStringLiteral("[DocxChanger] No settings part, document variables are not written");
        return true;
    }
    SettingsXML settings(m_settingsPath, m_settingsPath);
    if (!settings.openXML())
        return failWith(ERROR_XML,
                        QStringLiteral("Ошибка в XML части %1 шаблона %2: %3")
                                .arg(partName(m_settingsPath), m_packagePath, settings.errorString()));
    settings.updateVars(variables);
    if (!settings.saveXML())
        return failWith(ERROR_XML,
                        QStringLiteral("Не удалось записать часть %1: %2")
                                .arg(partName(m_settingsPath), settings.errorString()));
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Update settings");
    return true;
}

bool DocxChanger::updateDocumentPart(const QString &partPath, const TemplateVariables &variables,
                                     const QStringList &keyVarsRemoveInCells)
{
    DocumentXML document(partPath, partPath);
    if (!document.openXML())
        return failWith(ERROR_XML,
                        QStringLiteral("Ошибка в XML части %1 шаблона %2: %3")
                                .arg(partName(partPath), m_packagePath, document.errorString()));
    document.updateVars(variables, keyVarsRemoveInCells);
    if (!document.saveXML())
        return failWith(
                ERROR_XML,
                QStringLiteral("Не удалось записать часть %1: %2").arg(partName(partPath), document.errorString()));
    return true;
}

void DocxChanger::clearTableRows(const QStringList &names)
{
    DocumentXML document(m_documentPath, m_documentPath);
    document.openXML();
    document.clearTableRows(names);
    document.saveXML();
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Clear table rows");
}

bool DocxChanger::save()
{
    if (m_outputPath.isEmpty()) {
        qCritical().noquote() << QStringLiteral("empty path for saving docx");
        return failWith(ERROR_PACK, QStringLiteral("Не задан путь для сохранения документа"));
    }
    // Packing into the output itself would keep entries of an older file there
    // and leave half a file behind on failure: pack beside it, then replace.
    const QString outputDir = QFileInfo(m_outputPath).absolutePath();
    // Callers name outputs in folders of their own ("reports/2024/act").
    QDir().mkpath(outputDir);
    // Pack folders a killed run left here go now; a live one's stay.
    WorkClaim::removeStale(QDir(outputDir), QRegularExpression(QStringLiteral("\\.covrel-pack-\\w+")),
                           WorkClaim::Unclaimed::Remove);
    const QString packDir = makePackDir(outputDir);
    if (packDir.isEmpty())
        return failWith(ERROR_PACK, QStringLiteral("Папка %1 не существует или недоступна для записи").arg(outputDir));
    const QString archivePath = packDir + QStringLiteral("/package.zip");
    const bool saved = packInto(archivePath) && replaceOutputWith(archivePath);
    QDir(packDir).removeRecursively();
    m_packClaim.reset();
    if (!saved)
        return false;
    qInfo().noquote() << QStringLiteral("[DocxChanger]") << QStringLiteral("Save dir to zip file: ") + m_outputPath;
    return true;
}

QString DocxChanger::makePackDir(const QString &outputDir)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString path = outputDir + QStringLiteral("/.covrel-pack-") + uniqueDirName().mid(2);
        m_packClaim.reset(new WorkClaim(path));
        if (m_packClaim->claim() && QDir().mkdir(path))
            return path;
    }
    m_packClaim.reset();
    return QString();
}

bool DocxChanger::packInto(const QString &archivePath)
{
    if (m_zip->archiveDir(archivePath, m_tempDir) && QFileInfo::exists(archivePath))
        return true;
    return failWith(ERROR_PACK, QStringLiteral("Не удалось упаковать документ %1").arg(m_outputPath));
}

bool DocxChanger::replaceOutputWith(const QString &archivePath)
{
    // The new package lies in the output's own folder, so a rename swaps it in
    // whole: POSIX replaces the old file atomically; where rename refuses an
    // existing target (Windows), the old file goes only right before the rename.
    if (std::rename(QFile::encodeName(archivePath).constData(), QFile::encodeName(m_outputPath).constData()) == 0)
        return true;
    if ((!QFile::exists(m_outputPath) || QFile::remove(m_outputPath)) && QFile::rename(archivePath, m_outputPath))
        return true;
    return failWith(ERROR_PACK, QStringLiteral("Не удалось записать документ %1").arg(m_outputPath));
}

void DocxChanger::cleanup()
{
    if (m_tempDir.exists())
        QDir(m_tempDir.absolutePath()).removeRecursively();
    if (!m_tempFilePath.isEmpty() && QFile::exists(m_tempFilePath))
        QFile::remove(m_tempFilePath);
    m_dirClaim.reset();
    m_copyClaim.reset();
    qInfo().noquote() << QStringLiteral("Cleanup temp file and foldier.");
}

void DocxChanger::removeStaleWork(const QDir &tempDir)
{
    WorkClaim::removeStale(tempDir, QRegularExpression(QStringLiteral("fn[0-9A-F]{8}")), WorkClaim::Unclaimed::Remove);
    // Other .zip files there may be a page's own: only claimed ones are template copies.
    WorkClaim::removeStale(tempDir, QRegularExpression(QStringLiteral(".*\\.zip")), WorkClaim::Unclaimed::Keep);
}

QString DocxChanger::errorCode() const { return m_errorCode; }

QString DocxChanger::errorMessage() const { return m_errorMessage; }

QString DocxChanger::partName(const QString &partPath) const
{
    return m_tempDir.relativeFilePath(QDir::fromNativeSeparators(partPath));
}

void DocxChanger::setError(const QString &code, const QString &message)
{
    m_errorCode = code;
    m_errorMessage = message;
    qCritical().noquote() << QStringLiteral("[DocxChanger]") << code << message;
}

bool DocxChanger::failWith(const QString &code, const QString &message)
{
    setError(code, message);
    return false;
}
