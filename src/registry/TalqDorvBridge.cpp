#include "TalqDorvBridge.h"

#include "AnswerLimits.h"
#include "AppEnv.h"
#include "DialogService.h"
#include "TalqDorvData.h"
#include "TalqDorvHomeDirCheck.h"

#include <QDebug>
#include <QJsonObject>
#include <QWidget>

namespace TalqDorv {

Bridge::Bridge(QObject *parent)
    : QObject(parent)
    , m_data(new Data(this))
{ }

bool Bridge::isEnabled() { return m_data->canRun(); }

QString Bridge::disabledReasonCode() { return m_data->reasonCodeIfCannotRun(); }

QString Bridge::getQDebugPrefix() const { return QStringLiteral("[%1]").arg(QLatin1String(metaObject()->className())); }

QString Bridge::qDebugMessage(const QString &text) const
{
    return QStringLiteral("%1 %2").arg(getQDebugPrefix(), text);
}

void Bridge::log(const QString &line) const { qDebug().noquote() << line; }

bool Bridge::startProvider()
{
    if (m_data->isStarted())
        return true;
    return m_data->start();
}

void Bridge::stopProvider() { m_data->stop(); }

QWidget *Bridge::parentWidget() const { return parent() ? qobject_cast<QWidget *>(parent()->parent()) : nullptr; }

void Bridge::getDorvInfo(const QString &handlerId, int dorvNumber)
{
    answerRequest(QStringLiteral("getDorvInfo"), handlerId, dorvNumber, &Data::fetchDorvInfo,
                  &Bridge::getDorvInfoResult);
}

void Bridge::getDorvElectionInfo(const QString &handlerId, int dorvNumber)
{
    answerRequest(QStringLiteral("getDorvElectionInfo"), handlerId, dorvNumber, &Data::fetchDorvElectionsInfo,
                  &Bridge::getDorvElectionInfoResult);
}

void Bridge::getDorvMemberInfo(const QString &handlerId, int dorvNumber)
{
    answerRequest(QStringLiteral("getDorvMemberInfo"), handlerId, dorvNumber, &Data::fetchDorvMembersInfo,
                  &Bridge::getDorvMemberInfoResult);
}

void Bridge::getDorvFullInfo(const QString &handlerId, int dorvNumber)
{
    answerRequest(QStringLiteral("getDorvFullInfo"), handlerId, dorvNumber, &Data::fetchDorvAllInfo,
                  &Bridge::getDorvFullInfoResult);
}

void Bridge::answerRequest(const QString &method, const QString &handlerId, int dorvNumber, Fetch fetch,
                           ResultSignal resultSignal)
{
    log(qDebugMessage(QStringLiteral("Получен запрос на метод %1. HandlerId: %2. Номер dorv: %3"))
                .arg(method, handlerId, QString::number(dorvNumber)));
    if (refuseWhenDisabled(handlerId, dorvNumber))
        return;
    if (!startProvider()) {
        emit getInfoError(handlerId, dorvNumber, m_data->errorString());
        return;
    }
    const QJsonDocument document = (m_data->*fetch)(dorvNumber);
    if (document.isObject() && document.object().contains(QStringLiteral("error"))) {
        emit getInfoError(handlerId, dorvNumber, document.object().value(QStringLiteral("error")).toString());
        return;
    }
    const QString json = document.isNull() ? QString() : QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    // A record is the registry's to size: one the page cannot be handed is refused.
    const qint64 chars = handlerId.size() + json.size();
    if (!AnswerLimits::fits(chars, method, handlerId)) {
        emit getInfoError(handlerId, dorvNumber, AnswerLimits::tooLargeMessage());
        return;
    }
    AnswerLimits::beforeAnswer(chars);
    emit(this->*resultSignal)(handlerId, dorvNumber, json);
}

// A program that cannot run is not started: the page learns the reason at once.
bool Bridge::refuseWhenDisabled(const QString &handlerId, int dorvNumber)
{
    const QString reasonCode = m_data->reasonCodeIfCannotRun();
    if (reasonCode.isEmpty())
        return false;
    const QString message = QStringLiteral("Интеграция с TALQ DORV недоступна, код причины: %1").arg(reasonCode);
    log(qDebugMessage(QStringLiteral("%1. HandlerId: %2")).arg(message, handlerId));
    emit getInfoError(handlerId, dorvNumber, message);
    return true;
}

void Bridge::setTalqDorvHomeDir(const QString &handlerId, const QString &homeDir)
{
    log(qDebugMessage(QStringLiteral("Получен запрос на метод setTalqDorvHomeDir. HandlerId: %1. HomeDir: %2"))
                .arg(handlerId, homeDir));
    const HomeDirCheck check(homeDir);
    if (check.isFilePath()) {
        log(qDebugMessage(QStringLiteral("Путь '%2' указан до файла. Преобразуем в директорию '%3'. HandlerId: %1."))
                    .arg(handlerId, check.givenNativePath(), check.absoluteDirPath()));
    }
    const QString dirPath = check.nativeDirPath();
    if (!check.dirExists()) {
        log(qDebugMessage(QStringLiteral("Директория '%1' не существует. HandlerId: %2")).arg(dirPath, handlerId));
        emit setTalqDorvHomeDirError(handlerId, dirPath, QStringLiteral("Директория '%1' не существует.").arg(dirPath),
                                     QStringLiteral("directory_not_found"));
        return;
    }
    const QList<HomeDirCheck::Problem> problems = check.problems();
    if (!problems.isEmpty()) {
        for (const HomeDirCheck::Problem &problem : problems)
            log(qDebugMessage(QStringLiteral("%1. HandlerId: %2")).arg(problem.message, handlerId));
        log(qDebugMessage(QStringLiteral("Есть ошибки при выставлении домашней директории TALQ DORV. HandlerId: %1"))
                    .arg(handlerId));
        emit setTalqDorvHomeDirError(handlerId, dirPath, HomeDirCheck::joinedMessages(problems),
                                     HomeDirCheck::joinedCodes(problems));
        return;
    }
    AppEnv::setTalqDorvHomeDirPath(dirPath);
    emit setTalqDorvHomeDirResult(handlerId, dirPath);
}

void Bridge::changeTalqDorvHomeDir(const QString &handlerId)
{
    log(qDebugMessage(QStringLiteral("Получен запрос на метод changeTalqDorvHomeDir. HandlerId: %1.")).arg(handlerId));
    const QString chosen =
            DialogService::current()->getExistingDirectory(parentWidget(), QString(), AppEnv::getApplicationDirPath());
    if (chosen.isEmpty()) {
        log(QStringLiteral("Пользователь отменил выбор директории TALQ DORV"));
        emit setTalqDorvHomeDirError(handlerId, QString(), QStringLiteral("Отмена выбора"),
                                     QStringLiteral("dirSelectionRejected"));
        return;
    }
    log(QStringLiteral("Пользователь выбрал директорию '%1' для TALQ DORV").arg(chosen));
    setTalqDorvHomeDir(handlerId, chosen);
}

void Bridge::stopProvider(const QString &handlerId)
{
    log(qDebugMessage(QStringLiteral("Получен запрос на метод stopProvider. HandlerId: %1.")).arg(handlerId));
    stopProvider();
    emit stopProviderResult(handlerId);
}

} // namespace TalqDorv
