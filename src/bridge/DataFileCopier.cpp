#include "DataFileCopier.h"

#include "AppEnv.h"
#include "CovrelBridge.h"
#include "DialogService.h"
#include "PageNames.h"
#include "StoreFiles.h"
#include "TextFiles.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QScopedPointer>

DataFileCopier::DataFileCopier(CovrelBridge *bridge)
    : QObject(bridge)
    , m_bridge(bridge)
{
    connect(this, &DataFileCopier::copyDataFileStarted, bridge, &CovrelBridge::copyDataFileStarted);
    connect(this, &DataFileCopier::copyDataFileFinished, bridge, &CovrelBridge::copyDataFileFinished);
    connect(this, &DataFileCopier::copyDataFileCancelled, bridge, &CovrelBridge::copyDataFileCancelled);
    connect(this, &DataFileCopier::copyDataFileError, bridge, &CovrelBridge::copyDataFileError);
}

void DataFileCopier::copyDateFile(const QString &handlerId, const QString &filePath, const QString &correctFileName,
                                  bool saveToDefaultDir)
{
    qDebug().noquote()
            << QStringLiteral("Получен запроc на метод copyDateFile. HandlerId: %1. Файл: %2").arg(handlerId, filePath);
    if (!PageNames::isUsable(filePath, QStringLiteral("copyDateFile"))) {
        refuseName(handlerId, filePath);
        return;
    }
    const QScopedPointer<QFile> sourceFile(StoreFiles::getContentDataFile(filePath));
    const QFileInfo source(*sourceFile);
    if (!source.exists()) {
        qDebug().noquote()
                << QStringLiteral("Файл не найден. Файл: %1. Путь: %2").arg(filePath, source.absoluteFilePath());
        emit copyDataFileError(handlerId, filePath, QString(), QStringLiteral("fileNotExists"),
                               QStringLiteral("Файл %1 не найден").arg(filePath));
        return;
    }
    const QString name = targetName(source, correctFileName);
    if (!PageNames::isUsable(name, QStringLiteral("copyDateFile"))) {
        refuseName(handlerId, filePath);
        return;
    }
    qDebug().noquote() << QStringLiteral("Флаг saveToDefaultDir установлен в %1").arg(saveToDefaultDir ? 1 : 0);
    if (saveToDefaultDir)
        copyToDocsDir(handlerId, filePath, source, name);
    else
        copyThroughSaveDialog(handlerId, filePath, source, name);
}

void DataFileCopier::refuseName(const QString &handlerId, const QString &filePath)
{
    emit copyDataFileError(handlerId, PageNames::echo(filePath), QString(), PageNames::INVALID_NAME,
                           QStringLiteral("Недопустимое имя файла"));
}

QString DataFileCopier::targetName(const QFileInfo &source, const QString &correctFileName)
{
    QString name = correctFileName.trimmed().isEmpty() ? source.fileName() : correctFileName;
    // The source's kind is kept: "report" of t.docx becomes report.docx. A
    // source without a suffix adds nothing (not a bare final dot).
    const QString suffix = source.suffix();
    if (!suffix.isEmpty() && !name.endsWith(QLatin1Char('.') + suffix))
        name += QLatin1Char('.') + suffix;
    return name;
}

void DataFileCopier::copyToDocsDir(const QString &handlerId, const QString &filePath, const QFileInfo &source,
                                   const QString &name)
{
    const QDir docsDir = AppEnv::getStoreDocsDir();
    qDebug().noquote() << QStringLiteral("Сохраняем в директорию по-умолчанию: %1").arg(docsDir.absolutePath());
    const QString target = AppEnv::resolve(docsDir, name);
    qDebug().noquote() << QStringLiteral("Надо сохранить по пути: %1").arg(target);
    // Nobody confirmed replacing a file here: an existing one is kept and reported.
    if (QFileInfo::exists(target)) {
        qDebug().noquote() << QStringLiteral("Файл %1 уже существует").arg(target);
        emit copyDataFileError(handlerId, filePath, target, QStringLiteral("fileExists"),
                               QStringLiteral("Файл %1 уже существует").arg(target));
        return;
    }
    copyTo(handlerId, filePath, source, target);
}

void DataFileCopier::copyThroughSaveDialog(const QString &handlerId, const QString &filePath, const QFileInfo &source,
                                           const QString &name)
{
    qDebug().noquote() << QStringLiteral("Запускаем диалог сохранения файла");
    // The save dialog itself asks before an existing file is chosen, so a
    // confirmed target is replaced.
    const QString target = DialogService::current()->getSaveFileName(m_bridge->parentWidget(), QString(),
                                                                     QDir::homePath() + QLatin1Char('/') + name,
                                                                     QStringLiteral("Файл (%1)").arg(source.suffix()));
    if (target.isEmpty()) {
        qDebug().noquote() << QStringLiteral("Отмена выбора файла для сохранения");
        emit copyDataFileCancelled(handlerId, filePath);
        return;
    }
    qDebug().noquote() << QStringLiteral("Пользователь сделал выбор");
    qDebug().noquote() << QStringLiteral("Надо сохранить по пути: %1").arg(target);
    copyTo(handlerId, filePath, source, target);
}

void DataFileCopier::copyTo(const QString &handlerId, const QString &filePath, const QFileInfo &source,
                            const QString &target)
{
    emit copyDataFileStarted(handlerId, filePath, target);
    QString errorText;
    if (!TextFiles::copyAtomically(source.absoluteFilePath(), target, &errorText)) {
        qDebug().noquote()
                << QStringLiteral("Не удалось скопировать файл %1 в %2: %3").arg(filePath, target, errorText);
        emit copyDataFileError(handlerId, filePath, target, QStringLiteral("cannotCopyFile"),
                               QStringLiteral("Не удалось скопировать файл %1 в %2").arg(filePath, target));
        return;
    }
    qDebug().noquote() << QStringLiteral("Файл %1 скопирован в %2").arg(filePath, target);
    emit copyDataFileFinished(handlerId, filePath, target, QFileInfo(target).absolutePath());
}
