#include "CovrelBridge.h"

#include "AnswerLimits.h"
#include "AppEnv.h"
#include "CovrelExecProces.h"
#include "DataFileCopier.h"
#include "FileChoosers.h"
#include "GitOperations.h"
#include "LogWriter.h"
#include "OfficeBridge.h"
#include "PageNames.h"
#include "SpreedSheetBridge.h"
#include "StoreFiles.h"
#include "TalqDorvBridge.h"
#include "TextFiles.h"
#include "WkhtmltopdfBridge.h"
#include "WorkDirFiles.h"
#include "ZipBridge.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QPrinterInfo>
#include <QWidget>

const QString CovrelBridge::PUBLISHED_NAME = QStringLiteral("__covrelBridge");

CovrelBridge::CovrelBridge(QWidget *parent)
    : QObject(parent)
{
    // Sub-bridges are created here, with this bridge as parent, in this order:
    // officeBridge, talqDorvBridge, zipBridge, spreedSheetBridge, wkhtmltopdfBridge.
    // SUB-BRIDGES-BEGIN
    m_officeBridge = new OfficeBridge(this);
    m_talqDorvBridge = new TalqDorv::Bridge(this);
    m_zipBridge = new Zip::Bridge(this);
    m_spreedSheetBridge = new SpreedSheet::Bridge(this);
    m_wkhtmltopdfBridge = new Wkhtmltopdf::Bridge(this);
    // SUB-BRIDGES-END
}

void CovrelBridge::init()
{
    const QDir logsDir(AppEnv::getStoreDir().absoluteFilePath(QStringLiteral("logs")));
    if (!logsDir.exists()) {
        qDebug().noquote() << QStringLiteral("Директории для хранения логов нет создаем. Путь: ")
                        + logsDir.absolutePath();
        QDir().mkpath(logsDir.absolutePath());
    }
}

QObject *CovrelBridge::spreedSheetBridge() const { return m_spreedSheetBridge; }

bool CovrelBridge::isCloseAccept() const { return m_closeAccept; }

void CovrelBridge::emitAppCloseEvent() { emit appCloseEvent(); }

QWidget *CovrelBridge::parentWidget() const { return qobject_cast<QWidget *>(parent()); }

void CovrelBridge::echo(const QString &handlerId, const QString &str)
{
    // Built in one allocation: the text may be large and every call is logged.
    const QString head = QStringLiteral("Получен запрос на метод echo. Id: ");
    const QString strLabel = QStringLiteral("Str: ");
    QString line;
    line.reserve(head.size() + handlerId.size() + strLabel.size() + str.size());
    line.append(head).append(handlerId).append(strLabel).append(str);
    qt_message_output(QtDebugMsg, QMessageLogContext(), line);
    const qint64 chars = handlerId.size() + str.size();
    if (!AnswerLimits::fits(chars, QStringLiteral("echo"), handlerId)) {
        emit echoError(handlerId, AnswerLimits::TOO_LARGE, AnswerLimits::tooLargeMessage());
        return;
    }
    AnswerLimits::beforeAnswer(chars);
    emit echoSender(handlerId, str);
}

void CovrelBridge::logger(const QString &handlerId, const QString &message, const QVariantMap &params)
{
    qDebug().noquote() << QStringLiteral("Получен запроc на метод log. Id: %1").arg(handlerId);
    LogWriter::writeMessage(message, params);
}

void CovrelBridge::close(const QString &handlerId, bool accept)
{
    Q_UNUSED(handlerId)
    m_closeAccept = accept;
    if (!accept)
        return;
    stopSpreadsheets();
    if (QWidget *window = parentWidget())
        window->close();
}

void CovrelBridge::stopSpreadsheets()
{
    // The spreadsheet bridge releases its office application before the window goes.
    m_spreedSheetBridge->stop();
}

void CovrelBridge::beep()
{
    qDebug().noquote() << QStringLiteral("Пробуем попикать");
    QApplication::beep();
}

bool CovrelBridge::isInternalLink()
{
    qDebug().noquote() << QStringLiteral("Проверка доступности внутренней ссылки");
    return AppEnv::isInternalLink();
}

QString CovrelBridge::getContentDirPath() { return AppEnv::getContentDirPath(); }
QString CovrelBridge::getContentDataDirPath() { return AppEnv::getContentDataDirPath(); }
QString CovrelBridge::getStoreDirPath() { return AppEnv::getStoreDirPath(); }
QString CovrelBridge::getStoreDocsDirPath() { return AppEnv::getStoreDocsDirPath(); }

void CovrelBridge::changeAppEnv(const QVariantMap &vars)
{
    qDebug().noquote() << QStringLiteral("Вызван метод смены переменных приложения");
    const QVariant value = vars.value(QStringLiteral("STORE_DOCS_DIR_PATH"));
    if (value.isNull())
        return;
    QString path = value.toString();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    qDebug().noquote() << QStringLiteral("Для storeDocsDirPath выставляется в %1").arg(path);
    AppEnv::setStoreDocsDirPath(path);
}

QStringList CovrelBridge::availablePrinterNames() { return QPrinterInfo::availablePrinterNames(); }

// --- External programs: one CovrelExecProces per run, relayed one to one.

void CovrelBridge::execExternal(const QString &handlerId, const QString &execPath, const QStringList &arguments,
                                const QString &workingDir)
{
    qDebug().noquote() << QStringLiteral("Получен запроc на метод execExtenal.") + QStringLiteral("Id: ") + handlerId
                    + QStringLiteral("Путь: ") + execPath;
    auto *run = new CovrelExecProces(this);
    connect(run, &CovrelExecProces::execStarted, this, &CovrelBridge::execExternalStarted);
    connect(run, &CovrelExecProces::execFinished, this, &CovrelBridge::execExternalFinished);
    connect(run, &CovrelExecProces::execError, this, &CovrelBridge::execExternalError);
    run->init(handlerId, execPath, arguments, workingDir);
    if (run->valid())
        run->start();
}

bool CovrelBridge::isExecExternal(const QString &execPath, const QStringList &arguments, const QString &workingDir)
{
    auto *check = new CovrelExecProces(this);
    check->init(QString(), execPath, arguments, workingDir);
    const bool valid = check->valid();
    if (valid)
        check->release();
    return valid;
}

// --- Git working copies: each call runs to its end inside the slot. The
// signals carry the address as the page passed it.

void CovrelBridge::checkGitVersion(const QString &handlerId)
{
    const GitOperations::Answer answer = GitOperations().checkGitVersion(handlerId);
    if (answer.ok)
        emit checkGitVersionFinished(handlerId, answer.text);
    else
        emit checkGitVersionError(handlerId, answer.text);
}

void CovrelBridge::gitClone(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                            const QString &destFolderName, const QString &branch)
{
    const GitOperations::Answer answer =
            GitOperations().gitClone(handlerId, repoUrl, login, pass, destFolderName, branch);
    if (answer.ok)
        emit gitCloneFinished(handlerId, repoUrl, answer.destPath);
    else
        emit gitCloneError(handlerId, repoUrl, answer.destPath, answer.text);
}

void CovrelBridge::gitPull(const QString &handlerId, const QString &repoUrl, const QString &login, const QString &pass,
                           const QString &destFolderName, const QString &branch)
{
    const GitOperations::Answer answer =
            GitOperations().gitPull(handlerId, repoUrl, login, pass, destFolderName, branch);
    if (answer.ok)
        emit gitPullFinished(handlerId, repoUrl, answer.destPath);
    else
        emit gitPullError(handlerId, repoUrl, answer.destPath, answer.text);
}

void CovrelBridge::gitCommitAndPush(const QString &handlerId, const QString &repoUrl, const QString &login,
                                    const QString &pass, const QString &destFolderName, const QString &author,
                                    const QString &comment)
{
    const GitOperations::Answer answer =
            GitOperations().gitCommitAndPush(handlerId, repoUrl, login, pass, destFolderName, author, comment);
    if (answer.ok)
        emit gitCommitAndPushFinished(handlerId, repoUrl, answer.destPath);
    else
        emit gitCommitAndPushError(handlerId, repoUrl, answer.destPath, answer.text);
}

// --- File services: store and content data, choosers, working-directory files.

StoreFiles *CovrelBridge::storeFiles()
{
    if (!m_storeFiles)
        m_storeFiles = new StoreFiles(this);
    return m_storeFiles;
}

DataFileCopier *CovrelBridge::dataFileCopier()
{
    if (!m_dataFileCopier)
        m_dataFileCopier = new DataFileCopier(this);
    return m_dataFileCopier;
}

FileChoosers *CovrelBridge::fileChoosers()
{
    if (!m_fileChoosers)
        m_fileChoosers = new FileChoosers(parentWidget(), this);
    return m_fileChoosers;
}

WorkDirFiles *CovrelBridge::workDirFiles()
{
    if (!m_workDirFiles)
        m_workDirFiles = new WorkDirFiles(this);
    return m_workDirFiles;
}

void CovrelBridge::readFromContentData(const QString &handlerId, const QString &fileName, bool useCurrentFolderPath)
{
    const TextFiles::Read read = storeFiles()->readFromContentData(handlerId, fileName, useCurrentFolderPath);
    if (read.ok()) {
        AnswerLimits::beforeAnswer(handlerId.size() + fileName.size() + read.content.size());
        emit readFromContentDataFinished(handlerId, fileName, read.content);
    } else {
        emit readFromContentDataError(handlerId, PageNames::echo(fileName), read.errorCode, read.errorMessage);
    }
}

void CovrelBridge::readFromStore(const QString &handlerId, const QString &fileName)
{
    const TextFiles::Read read = storeFiles()->readFromStore(handlerId, fileName);
    if (read.ok()) {
        AnswerLimits::beforeAnswer(handlerId.size() + fileName.size() + read.content.size());
        emit readFromStoreFinished(handlerId, fileName, read.content);
    } else {
        emit readFromStoreError(handlerId, PageNames::echo(fileName), read.errorCode, read.errorMessage);
    }
}

void CovrelBridge::writeToStore(const QString &handlerId, const QString &fileName, const QString &content)
{
    QString errorMessage;
    if (storeFiles()->writeToStore(handlerId, fileName, content, &errorMessage))
        emit writeToStoreFinished(handlerId, fileName);
    else
        emit writeToStoreError(handlerId, PageNames::echo(fileName), errorMessage);
}

bool CovrelBridge::isStoreFileExists(const QString &fileName) { return storeFiles()->isStoreFileExists(fileName); }
bool CovrelBridge::checkStoreDir() { return storeFiles()->checkStoreDir(); }
bool CovrelBridge::isContentDataFileExists(const QString &fileName)
{
    return storeFiles()->isContentDataFileExists(fileName);
}
void CovrelBridge::openStoreDir(const QString &dir) { storeFiles()->openStoreDir(dir); }

void CovrelBridge::copyDateFile(const QString &handlerId, const QString &filePath, const QString &correctFileName,
                                bool saveToDefaultDir)
{
    dataFileCopier()->copyDateFile(handlerId, filePath, correctFileName, saveToDefaultDir);
}

void CovrelBridge::showFileDialogForSelectDir(const QString &handlerId)
{
    emit showFileDialogForSelectDirFinished(handlerId, fileChoosers()->showFileDialogForSelectDir());
}

void CovrelBridge::showFileDialogForSelectFile(const QString &handlerId, const QStringList &fileFilters)
{
    emit showFileDialogForSelectFileFinished(handlerId,
                                             fileChoosers()->showFileDialogForSelectFile(handlerId, fileFilters));
}

QString CovrelBridge::changeStoreDocsDirPath() { return fileChoosers()->changeStoreDocsDirPath(); }

void CovrelBridge::openFile(const QString &handlerId, const QString &workDir, const QString &fname)
{
    QString content;
    const WorkDirFiles::Outcome opened = workDirFiles()->openFile(handlerId, workDir, fname, &content);
    if (opened.ok()) {
        AnswerLimits::beforeAnswer(handlerId.size() + opened.path.size() + content.size());
        emit openFileFinished(handlerId, opened.path, true, content);
    } else {
        emit openFileError(handlerId, opened.path, opened.errorCode, opened.errorMessage);
    }
}

// The error answers carry the name as the page gave it; success carries the full native path.
void CovrelBridge::saveFile(const QString &handlerId, const QString &workDir, const QString &fname, const QString &data)
{
    const WorkDirFiles::Outcome saved = workDirFiles()->saveFile(handlerId, workDir, fname, data);
    if (saved.ok())
        emit saveFileFinished(handlerId, saved.path);
    else
        emit saveFileError(handlerId, PageNames::echo(fname), saved.errorCode, saved.errorMessage);
}

void CovrelBridge::deleteFile(const QString &handlerId, const QString &workDir, const QString &fname)
{
    const WorkDirFiles::Outcome deleted = workDirFiles()->deleteFile(handlerId, workDir, fname);
    if (deleted.ok())
        emit deleteFileFinished(handlerId, deleted.path);
    else
        emit deleteFileError(handlerId, PageNames::echo(fname), deleted.errorCode, deleted.errorMessage);
}

void CovrelBridge::copyFile(const QString &handlerId, const QStringList &from, const QString &workdirTo,
                            const QStringList &to, bool overwrite)
{
    // The lists come back whole in the status answer.
    const qint64 chars = AnswerLimits::chars(from) + AnswerLimits::chars(to) + handlerId.size();
    if (!AnswerLimits::fits(chars, QStringLiteral("copyFile"), handlerId)) {
        emit copyFileError(handlerId, QString(), QString(), AnswerLimits::TOO_LARGE, AnswerLimits::tooLargeMessage());
        return;
    }
    WorkDirFiles::Outcome refused;
    const QList<WorkDirFiles::Copy> copies =
            workDirFiles()->copyFile(handlerId, from, workdirTo, to, overwrite, &refused);
    if (!refused.ok()) {
        const QString separator = QStringLiteral("|");
        emit copyFileError(handlerId, from.join(separator), to.join(separator), refused.errorCode,
                           refused.errorMessage);
        return;
    }
    QStringList status;
    for (const WorkDirFiles::Copy &copy : copies) {
        status.append(WorkDirFiles::status(copy.outcome));
        if (copy.outcome.ok())
            emit copyFileFinished(handlerId, copy.source, copy.target);
        else
            emit copyFileError(handlerId, copy.source, copy.target, copy.outcome.errorCode, copy.outcome.errorMessage);
    }
    AnswerLimits::beforeAnswer(chars + AnswerLimits::chars(status));
    emit copyFileStatusFinished(handlerId, from, to, status);
}

void CovrelBridge::checkExisted(const QString &handlerId, const QString &workDir, const QStringList &paths)
{
    // The list comes back whole in the status answer.
    const qint64 chars = AnswerLimits::chars(paths) + handlerId.size();
    if (!AnswerLimits::fits(chars, QStringLiteral("checkExisted"), handlerId)) {
        emit checkExistedError(handlerId, QString(), AnswerLimits::TOO_LARGE, AnswerLimits::tooLargeMessage());
        return;
    }
    QStringList status;
    for (const WorkDirFiles::Outcome &checked : workDirFiles()->checkExisted(handlerId, workDir, paths)) {
        status.append(WorkDirFiles::status(checked));
        if (checked.ok())
            emit checkExistedFinished(handlerId, checked.path);
        else
            emit checkExistedError(handlerId, checked.path, checked.errorCode, checked.errorMessage);
    }
    AnswerLimits::beforeAnswer(chars + AnswerLimits::chars(status));
    emit checkExistedStatusFinished(handlerId, paths, status);
}

void CovrelBridge::getFilesInFolder(const QString &handlerId, const QString &workDir, const QString &pattern)
{
    QStringList files;
    const WorkDirFiles::Outcome listed = workDirFiles()->getFilesInFolder(handlerId, workDir, pattern, &files);
    if (!listed.ok()) {
        emit getFilesInFolderError(handlerId, PageNames::echo(workDir), listed.errorMessage);
        return;
    }
    const qint64 chars = handlerId.size() + workDir.size() + AnswerLimits::chars(files);
    if (!AnswerLimits::fits(chars, QStringLiteral("getFilesInFolder"), handlerId)) {
        emit getFilesInFolderError(handlerId, workDir, AnswerLimits::tooLargeMessage());
        return;
    }
    AnswerLimits::beforeAnswer(chars);
    emit getFilesInFolderFinished(handlerId, workDir, files);
}
