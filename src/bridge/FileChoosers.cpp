#include "FileChoosers.h"

#include "AppEnv.h"
#include "DialogService.h"

#include <QCoreApplication>
#include <QDebug>

FileChoosers::FileChoosers(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{ }

QString FileChoosers::showFileDialogForSelectDir()
{
    qDebug().noquote() << QStringLiteral("Получен запроc на метод showFileDilogForSelectDir. ");
    // No owner window: these choosers stand on their own, unlike the
    // documents-directory chooser, which belongs to the main window.
    return DialogService::current()->getExistingDirectory(
            nullptr, QCoreApplication::translate("CovrelBridge", "Задайте каталог:"), AppEnv::getApplicationDirPath(),
            DialogService::Links::Keep);
}

QString FileChoosers::showFileDialogForSelectFile(const QString &handlerId, const QStringList &fileFilters)
{
    qDebug().noquote() << QStringLiteral(
                                  "Получен запроc на метод showFileDialogForSelectFile. HandlerId: %1. Фильтры: %2")
                                  .arg(handlerId, fileFilters.join(QStringLiteral(", ")));
    const QStringList patterns = fileFilters.isEmpty() ? QStringList{QStringLiteral("*.*")} : fileFilters;
    // One filter of all patterns, so "*.xlsx" and "*.xls" show together.
    return DialogService::current()->getOpenFileName(nullptr,
                                                     QCoreApplication::translate("CovrelBridge", "Выберите файл: "),
                                                     AppEnv::getApplicationDirPath(), patterns.join(QLatin1Char(' ')));
}

QString FileChoosers::changeStoreDocsDirPath()
{
    qDebug().noquote() << QStringLiteral("Вызван метод changeStoreDocsDirPath");
    const QString current = AppEnv::getStoreDocsDirPath();
    qDebug().noquote() << QStringLiteral("Текущее значение storeDocsDir='%1'").arg(current);
    const QString chosen = DialogService::current()->getExistingDirectory(m_window, QString(), current);
    if (chosen.isEmpty())
        return QString();
    qDebug().noquote() << QStringLiteral("Пользователь выбрал директорию '%1' для storeDocsDir").arg(chosen);
    AppEnv::setStoreDocsDirPath(chosen);
    return chosen;
}
