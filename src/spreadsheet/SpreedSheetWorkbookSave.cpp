#include "SpreedSheetWorkbookSave.h"

#include "AppEnv.h"
#include "MsOfficeExcelLink.h"
#include "MsOfficeExcelWorkbook.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace SpreedSheet {

namespace {
const QString XLSX = QStringLiteral(".xlsx");
// Saves within the same second get "-2", "-3"... after the stamp.
const int MAX_ASIDE_NAMES = 100;

void log(const QString &text) { qDebug().noquote() << text; }
} // namespace

WorkbookSave::WorkbookSave(MsOfficeExcel::Workbook *workbook, Mode mode)
    : m_workbook(workbook)
    , m_mode(mode)
{ }

QString WorkbookSave::storePath(const QString &filePath) { return AppEnv::getStoreDir().absoluteFilePath(filePath); }

QString WorkbookSave::logPrefix() const
{
    return m_mode == Mode::SaveAs ? QStringLiteral("[s_saveAsToStore]") : QStringLiteral("[s_saveCopyAsToStore]");
}

QString WorkbookSave::asideName(const QString &fullPath, const QString &stamp)
{
    // Only the file's own name changes: a folder named *.xlsx stays where it is.
    const QFileInfo info(fullPath);
    QString name = info.fileName();
    if (name.contains(XLSX)) {
        name.replace(XLSX, QStringLiteral(".%1.xlsx").arg(stamp));
    } else {
        const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        name = QStringLiteral("%1.%2%3").arg(info.completeBaseName(), stamp, suffix);
    }
    return storePath(info.path() + QLatin1Char('/') + name);
}

WorkbookSave::Result WorkbookSave::moveAside(const QString &fullPath) const
{
    if (!QFileInfo::exists(fullPath))
        return Result{true, QString(), QString()};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString newPath = asideName(fullPath, stamp);
    for (int n = 2; QFileInfo::exists(newPath) && n <= MAX_ASIDE_NAMES; ++n)
        newPath = asideName(fullPath, QStringLiteral("%1-%2").arg(stamp).arg(n));
    log(QStringLiteral("%1 Rename file '%2' to '%3'").arg(logPrefix(), fullPath, newPath));
    if (!QFileInfo::exists(newPath) && QFile::rename(fullPath, newPath)) {
        log(logPrefix() + QStringLiteral(" Rename success"));
        return Result{true, QString(), QString()};
    }
    log(logPrefix() + QStringLiteral(" Rename failed"));
    // Saving now would overwrite the file the page asked to keep.
    return Result{false, QStringLiteral("failedRenameExists"),
                  QStringLiteral("Не удалось переименовать существующий файл %1").arg(fullPath)};
}

WorkbookSave::Result WorkbookSave::save(const QString &filePath) const
{
    const QFileInfo target(filePath);
    const QString dir = target.absolutePath();
    log(QStringLiteral("Создаем папку для файла, если ее нет. Директория: ") + dir);
    if (!QDir().mkpath(dir))
        return Result{false, QStringLiteral("failedCreateDir"), QStringLiteral("Не удалось создать папку %1").arg(dir)};
    const bool existed = target.exists();
    const QDateTime before = target.lastModified();
    const QDateTime called = QDateTime::currentDateTime();
    m_workbook->getLink()->takeLastError();
    if (m_mode == Mode::SaveAs)
        m_workbook->saveAs(filePath);
    else
        m_workbook->saveCopyAs(filePath);
    // Written by this save: new, or changed since just before it. A file
    // time at or after the call cannot come from an earlier write; an
    // unchanged one can (a coarse file clock may also stamp a fresh write
    // a little before the call, hence the comparison with the old time).
    const QFileInfo written(filePath);
    const QDateTime modified = written.lastModified();
    if (written.isFile() && (!existed || modified != before || modified >= called))
        return Result{true, QString(), QString()};
    const QString reason = m_workbook->getLink()->takeLastError();
    QString message = QStringLiteral("Книга не сохранена в %1").arg(filePath);
    if (!reason.isEmpty())
        message += QStringLiteral(": ") + reason;
    log(QStringLiteral("[SpreedSheet::Workbook] ") + message);
    return Result{false, QStringLiteral("failedSaveFile"), message};
}

} // namespace SpreedSheet
