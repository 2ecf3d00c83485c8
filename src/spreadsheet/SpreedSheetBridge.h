#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace SpreedSheet {

class Application;
class Workbook;

// The page's entry to spreadsheets, published as
// __covrelBridge.spreedSheetBridge: whether the spreadsheet application can
// be used and its version, opening workbooks (by path, from the store, by
// dialog) into a registry of identifiers, and moving a workbook to another
// identifier. Slots answer by signal before they return.
class Bridge : public QObject
{
    Q_OBJECT
public:
    explicit Bridge(QObject *parent = nullptr);

    // The spreadsheet application's version; empty when it cannot be reached.
    Q_INVOKABLE QString version();

    // Closes the workbooks opened here without saving and quits the
    // application when nothing else is open in it; when the program closes.
    void stop();

public slots:
    void checkAvailable(const QString &handlerId);
    void openFile(const QString &handlerId, const QString &filePath, bool initWorksheet = false,
                  const QString &workbookId = QString());
    void openFromStore(const QString &handlerId, const QString &workbookId, const QString &filePath,
                       bool initWorksheet = false);
    void openFileByDialog(const QString &handlerId, const QString &baseDir = QString(),
                          const QString &extensions = QStringLiteral("*.xlsx"));
    // Accepted and not answered; kept for pages that call them.
    void saveFile(const QString &handlerId, const QString &workbookId, const QString &filePath);
    void closeWorkbook(const QString &handlerId, const QString &workbookId);
    void getWorkbook(const QString &handlerId, const QString &id);
    void changeWorkbookId(const QString &handlerId, const QString &oldWorkbookId, const QString &newWorkbookID);

signals:
    void checkAvailableResult(const QString &handlerId, bool status, const QString &reasonCode,
                              const QVariantMap &meta);
    void openFileOpened(const QString &handlerId, const QString &filePath, const QString &workbookId,
                        SpreedSheet::Workbook *workbook);
    void openFileError(const QString &handlerId, const QString &filePath, const QString &errorMessage);
    void openFileCancel(const QString &handlerId);
    // Declared for pages that connect to them; never sent.
    void saveFileSaved(const QString &handlerId, const QString &workbookId, const QString &filePath);
    void saveFileError(const QString &handlerId, const QString &workbookId, const QString &filePath,
                       const QString &errorMessage);
    void closeWorkbookResult(const QString &handlerId, const QString &workbookId, bool status);

    void getWorkbookResult(const QString &handlerId, const QString &workbookId, SpreedSheet::Workbook *workbook);
    void changeWorkbookIdResult(const QString &handlerId, const QString &oldWorkbookId, const QString &newWorkbookID,
                                SpreedSheet::Workbook *workbook);

private:
    struct Availability
    {
        bool status = false;
        QString reasonCode;
        QString version;
    };
    // Asked of the bridge's own live link, else of a temporary one that is
    // closed again (and quits an application with nothing open).
    Availability availability();
    void openWorkbook(const QString &handlerId, const QString &filePath, bool initWorksheet, const QString &workbookId);
    QWidget *dialogParent() const;

    Application *m_application;
    QMap<QString, Workbook *> m_workbooks;
};

} // namespace SpreedSheet
