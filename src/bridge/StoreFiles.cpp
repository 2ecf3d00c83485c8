#include "StoreFiles.h"

#include "AppEnv.h"
#include "DesktopOpener.h"
#include "PageNames.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopedPointer>
#include <QUrl>

namespace {
const QString FILE_NOT_EXISTS = QStringLiteral("fileNotExists");
const QString CANNOT_OPEN_FILE = QStringLiteral("cannotOpenFile");
const QString WRITE_FAILED = QStringLiteral("Ошибка записи в хранилище");
const QString INVALID_NAME_MESSAGE = QStringLiteral("Недопустимое имя файла");

QString notFoundMessage(const QString &fileName) { return QStringLiteral("Файл %1 не найден.").arg(fileName); }
} // namespace

StoreFiles::StoreFiles(QObject *parent)
    : QObject(parent)
{ }

QFile *StoreFiles::getStoreFile(const QString &name) { return new QFile(AppEnv::resolve(AppEnv::getStoreDir(), name)); }

QFile *StoreFiles::getContentDataFile(const QString &name)
{
    if (!name.startsWith(QLatin1String("data")) && !name.startsWith(QLatin1String("/data")))
        return AppEnv::getContentDataFile(name);
    static const QRegularExpression dataFolder(QStringLiteral("\\/?data\\/"));
    QString rest = name;
    rest.remove(dataFolder);
    return AppEnv::getContentDataFile(rest);
}

QFile *StoreFiles::getDataFile(const QString &name) { return new QFile(QDir::currentPath() + name); }

TextFiles::Read StoreFiles::readText(const QString &operation, const QString &handlerId, const QString &fileName,
                                     QFile &file, const QString &cannotOpenMessage)
{
    if (!file.exists()) {
        qDebug().noquote() << QStringLiteral("Файл не найден. HandlerId: %1, Файл: %2. Путь: %3")
                                      .arg(handlerId, fileName, QFileInfo(file).absoluteFilePath());
        return {QString(), FILE_NOT_EXISTS, notFoundMessage(fileName)};
    }
    if (!file.open(QIODevice::ReadOnly))
        return {QString(), CANNOT_OPEN_FILE, cannotOpenMessage};
    return TextFiles::readForAnswer(file, operation, handlerId, handlerId.size() + fileName.size());
}

TextFiles::Read StoreFiles::readFromContentData(const QString &handlerId, const QString &fileName,
                                                bool useCurrentFolderPath)
{
    qDebug().noquote() << QStringLiteral("Получен запрос на метод readFromContentData. HandlerId: %1. Файл: %2")
                                  .arg(handlerId, fileName);
    if (!PageNames::isUsable(fileName, QStringLiteral("readFromContentData")))
        return {QString(), PageNames::INVALID_NAME, INVALID_NAME_MESSAGE};
    QScopedPointer<QFile> file(useCurrentFolderPath ? getDataFile(fileName) : getContentDataFile(fileName));
    return readText(QStringLiteral("readFromContentData"), handlerId, fileName, *file,
                    QStringLiteral("Ошибка открытия файла."));
}

TextFiles::Read StoreFiles::readFromStore(const QString &handlerId, const QString &fileName)
{
    qDebug().noquote() << QStringLiteral("Получен запрос на метод readFromStore. HandlerId: %1. Файл: %2")
                                  .arg(handlerId, fileName);
    if (!PageNames::isUsable(fileName, QStringLiteral("readFromStore")))
        return {QString(), PageNames::INVALID_NAME, INVALID_NAME_MESSAGE};
    QScopedPointer<QFile> file(getStoreFile(fileName));
    return readText(QStringLiteral("readFromStore"), handlerId, fileName, *file,
                    QStringLiteral("Ошибка чтения из хранилища"));
}

bool StoreFiles::writeToStore(const QString &handlerId, const QString &fileName, const QString &content,
                              QString *errorMessage)
{
    qDebug().noquote() << QStringLiteral("Получен запрос на метод writeToStore ") + QStringLiteral("Id: ") + handlerId
                    + QStringLiteral("fileName: ") + fileName;
    if (!PageNames::isUsable(fileName, QStringLiteral("writeToStore"))) {
        *errorMessage = INVALID_NAME_MESSAGE;
        return false;
    }
    QScopedPointer<QFile> file(getStoreFile(fileName));
    const QString folder = QFileInfo(*file).absolutePath();
    qDebug().noquote() << QStringLiteral("Создаем папку для файла, если ее нет. Директория: ") + folder;
    if (!QDir().mkpath(folder)) {
        *errorMessage = WRITE_FAILED;
        return false;
    }
    qDebug().noquote() << QStringLiteral("Сохраняем содержимое: %1").arg(content);
    // Through a save file: the stored copy is replaced only by a complete new one.
    QString errorText;
    if (TextFiles::saveAtomically(file->fileName(), content.toUtf8(), &errorText) != TextFiles::SaveResult::Saved) {
        qDebug().noquote() << QStringLiteral("Не удалось записать файл %1: %2").arg(file->fileName(), errorText);
        *errorMessage = WRITE_FAILED;
        return false;
    }
    return true;
}

bool StoreFiles::existsLogged(const QString &fileName, QFile &file)
{
    if (file.exists())
        return true;
    qDebug().noquote()
            << QStringLiteral("Файл не найден. Файл: %1. Путь: %2").arg(fileName, QFileInfo(file).absoluteFilePath());
    return false;
}

bool StoreFiles::isStoreFileExists(const QString &fileName)
{
    qDebug().noquote() << QStringLiteral("Вызван метод isStoreFileExists. Файл: ") + fileName;
    if (!PageNames::isUsable(fileName, QStringLiteral("isStoreFileExists")))
        return false;
    QScopedPointer<QFile> file(getStoreFile(fileName));
    return existsLogged(fileName, *file);
}

bool StoreFiles::isContentDataFileExists(const QString &fileName)
{
    qDebug().noquote() << QStringLiteral("Вызван метод isContentDataFileExists. Файл: ") + fileName;
    if (!PageNames::isUsable(fileName, QStringLiteral("isContentDataFileExists")))
        return false;
    QScopedPointer<QFile> file(getContentDataFile(fileName));
    return existsLogged(fileName, *file);
}

bool StoreFiles::checkStoreDir()
{
    const QString path = AppEnv::getStoreDirPath();
    const QFileInfo store(path);
    if (store.isDir() && store.isWritable())
        return true;
    qDebug().noquote() << QStringLiteral("Невозможна запись в %1").arg(path);
    return false;
}

void StoreFiles::openStoreDir(const QString &dir)
{
    qDebug().noquote() << QStringLiteral("Открываем папку с файлом %1").arg(dir);
    if (!PageNames::isUsable(dir, QStringLiteral("openStoreDir")))
        return;
    // Everything after the last slash goes: a file opens its folder.
    DesktopOpener::current()->openUrl(QUrl::fromLocalFile(dir).adjusted(QUrl::RemoveFilename));
}
