#include "SpreedSheetBridge.h"

#include "AppEnv.h"
#include "DialogService.h"
#include "SpreedSheetApplication.h"
#include "SpreedSheetWorkbook.h"
#include "SpreedSheetWorksheet.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace SpreedSheet {

namespace {
const QString FAILED_OPEN_FILE = QStringLiteral("failedOpenFile");
const QString FILE_NOT_EXISTS_IN_STORE_DIR = QStringLiteral("fileNotExistsInStoreDir");

void log(const QString &text) { qDebug().noquote() << text; }
} // namespace

Bridge::Bridge(QObject *parent)
    : QObject(parent)
    , m_application(new Application(this))
{
    // Workbooks and worksheets travel to the page as signal arguments.
    qRegisterMetaType<SpreedSheet::Workbook *>("SpreedSheet::Workbook*");
    qRegisterMetaType<SpreedSheet::Worksheet *>("SpreedSheet::Worksheet*");
}

Bridge::Availability Bridge::availability()
{
    // A temporary link closed while the bridge's own is live would quit the
    // application under it; the live one answers instead.
    if (m_application->isCanUse())
        return Availability{true, m_application->getCodeCanUse(), m_application->getVersion()};
    Application probe;
    probe.start(false);
    Availability answer{probe.isCanUse(), probe.getCodeCanUse(), probe.getVersion()};
    probe.stop();
    return answer;
}

QString Bridge::version() { return availability().version; }

void Bridge::stop() { m_application->stop(); }

void Bridge::checkAvailable(const QString &handlerId)
{
    log(QStringLiteral("[SpreedSheetCovrel] Получен запрос на метод checkAvailable. Id: %1 ").arg(handlerId));
    const Availability answer = availability();
    emit checkAvailableResult(handlerId, answer.status, answer.reasonCode,
                              QVariantMap{{QStringLiteral("version"), answer.version}});
}

void Bridge::openFile(const QString &handlerId, const QString &filePath, bool initWorksheet, const QString &workbookId)
{
    try {
        openWorkbook(handlerId, filePath, initWorksheet, workbookId);
    } catch (...) {
        emit openFileError(handlerId, QDir::toNativeSeparators(filePath), FAILED_OPEN_FILE);
    }
}

void Bridge::openWorkbook(const QString &handlerId, const QString &filePath, bool initWorksheet,
                          const QString &workbookId)
{
    log(QStringLiteral("[SpreedSheet::Bridge::openFile] Открываем файл Excel '%1'").arg(filePath));
    const QString nativePath = QDir::toNativeSeparators(filePath);
    Workbook *workbook = m_application->open(filePath);
    if (!workbook) {
        emit openFileError(handlerId, nativePath, FAILED_OPEN_FILE);
        return;
    }
    const QString id = workbookId.isEmpty() ? QStringLiteral("w%1").arg(handlerId) : workbookId;
    log(QStringLiteral("Push workbook by ID: %1").arg(id));
    // A workbook already under this id stays open, unregistered, until the application closes.
    m_workbooks.insert(id, workbook);
    if (initWorksheet) {
        log(QStringLiteral("[SpreedSheet::Bridge::openFile] Инициализация листов из книги"));
        workbook->initWorksheets();
    }
    emit openFileOpened(handlerId, nativePath, id, workbook);
}

void Bridge::openFromStore(const QString &handlerId, const QString &workbookId, const QString &filePath,
                           bool initWorksheet)
{
    const QString path = AppEnv::getStoreDir().absoluteFilePath(filePath);
    if (QFileInfo::exists(path)) {
        openFile(handlerId, path, initWorksheet, workbookId);
        return;
    }
    log(QStringLiteral("[SpreedSheet::Bridge::openFromStore] Не найден файл по пути '%1'").arg(path));
    emit openFileError(handlerId, filePath, FILE_NOT_EXISTS_IN_STORE_DIR);
}

QWidget *Bridge::dialogParent() const
{
    for (QObject *ancestor = parent(); ancestor; ancestor = ancestor->parent()) {
        if (ancestor->isWidgetType())
            return static_cast<QWidget *>(ancestor);
    }
    return nullptr;
}

void Bridge::openFileByDialog(const QString &handlerId, const QString &baseDir, const QString &extensions)
{
    log(QStringLiteral("[SpreedSheet::Bridge::openFileByDialog] Вызван метод. HandlerId: %1. baseDir: %2. "
                       "extensions: %3")
                .arg(handlerId, baseDir, extensions));
    QString startDir = baseDir;
    if (startDir.isEmpty()) {
        startDir = AppEnv::getApplicationDirPath();
        log(QStringLiteral("[SpreedSheet::Bridge::openFileByDialog] Базовая директория указана пустой. HandlerId: "
                           "%1. Используем директорию из приложения '%2'")
                    .arg(handlerId, startDir));
    }
    const QString chosen =
            DialogService::current()->getOpenFileName(dialogParent(), QString(), QDir::fromNativeSeparators(startDir),
                                                      QStringLiteral("Excel files (%1)").arg(extensions));
    if (chosen.isEmpty()) {
        emit openFileCancel(handlerId);
        return;
    }
    log(QStringLiteral("[SpreedSheet::Bridge::openFileByDialog] Пользователь выбрал файл '%1'").arg(chosen));
    openFile(handlerId, chosen, true, QString());
}

void Bridge::saveFile(const QString &handlerId, const QString &workbookId, const QString &filePath)
{
    Q_UNUSED(workbookId)
    Q_UNUSED(filePath)
    log(QStringLiteral("[SpreedSheet::Bridge::saveFile] Получен запрос. HandlerId: %1").arg(handlerId));
}

void Bridge::closeWorkbook(const QString &handlerId, const QString &workbookId)
{
    Q_UNUSED(workbookId)
    log(QStringLiteral("[SpreedSheet::Bridge::closeWorkbook] Получен запрос. HandlerId: %1").arg(handlerId));
}

void Bridge::getWorkbook(const QString &handlerId, const QString &id)
{
    emit getWorkbookResult(handlerId, id, m_workbooks.value(id));
}

void Bridge::changeWorkbookId(const QString &handlerId, const QString &oldWorkbookId, const QString &newWorkbookID)
{
    const QString prefix = QStringLiteral("[SpreedSheet::Bridge::changeWorkbookId] ");
    log(prefix
        + QStringLiteral("Меняем идентификатор. newWorkbookId: %1. oldWorkbookId: %2")
                  .arg(newWorkbookID, oldWorkbookId));
    if (oldWorkbookId == newWorkbookID) {
        // Moving an entry onto itself would close the very workbook it keeps.
        emit changeWorkbookIdResult(handlerId, oldWorkbookId, newWorkbookID, m_workbooks.value(oldWorkbookId));
        return;
    }
    if (m_workbooks.contains(oldWorkbookId)) {
        log(prefix + QStringLiteral("Закрываем workbook с идентификатором %1").arg(oldWorkbookId));
        if (Workbook *old = m_workbooks.value(oldWorkbookId))
            old->close(false);
    }
    log(prefix + QStringLiteral("Удаляем старый идентификатор из списка %1").arg(oldWorkbookId));
    m_workbooks.remove(oldWorkbookId);
    log(prefix + QStringLiteral("Встялвем новый объект %1").arg(oldWorkbookId));
    Workbook *moved = m_workbooks.take(newWorkbookID);
    m_workbooks.insert(oldWorkbookId, moved);
    emit changeWorkbookIdResult(handlerId, oldWorkbookId, newWorkbookID, moved);
}

} // namespace SpreedSheet
