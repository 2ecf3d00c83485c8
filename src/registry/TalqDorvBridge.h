#pragma once

#include <QJsonDocument>
#include <QObject>
#include <QString>

class QWidget;

namespace TalqDorv {

class Data;

// The page's entry to the registry (published as talqDorvBridge): record
// requests answered through signals tagged with the caller's handlerId, and
// the choice of the registry's installation directory.
class Bridge : public QObject
{
    Q_OBJECT
public:
    explicit Bridge(QObject *parent);

    Q_INVOKABLE bool isEnabled();
    Q_INVOKABLE QString disabledReasonCode();

    QString getQDebugPrefix() const;
    QString qDebugMessage(const QString &text) const;
    bool startProvider();
    void stopProvider();
    QWidget *parentWidget() const;

public slots:
    void getDorvInfo(const QString &handlerId, int dorvNumber);
    void getDorvElectionInfo(const QString &handlerId, int dorvNumber);
    void getDorvMemberInfo(const QString &handlerId, int dorvNumber);
    void getDorvFullInfo(const QString &handlerId, int dorvNumber);
    void setTalqDorvHomeDir(const QString &handlerId, const QString &homeDir);
    void changeTalqDorvHomeDir(const QString &handlerId);
    void stopProvider(const QString &handlerId);

signals:
    void getDorvInfoResult(const QString &handlerId, int dorvNumber, const QString &jsonResult);
    void getDorvElectionInfoResult(const QString &handlerId, int dorvNumber, const QString &jsonResult);
    void getDorvMemberInfoResult(const QString &handlerId, int dorvNumber, const QString &jsonResult);
    void getDorvFullInfoResult(const QString &handlerId, int dorvNumber, const QString &jsonResult);
    void getInfoError(const QString &handlerId, int dorvNumber, const QString &errorMessage);
    void setTalqDorvHomeDirResult(const QString &handlerId, const QString &homeDir);
    void setTalqDorvHomeDirError(const QString &handlerId, const QString &homeDir, const QString &errorMessage,
                                 const QString &errorCodes);
    void stopProviderResult(const QString &handlerId);

private:
    using Fetch = QJsonDocument (Data::*)(int);
    using ResultSignal = void (Bridge::*)(const QString &, int, const QString &);

    void answerRequest(const QString &method, const QString &handlerId, int dorvNumber, Fetch fetch,
                       ResultSignal resultSignal);
    bool refuseWhenDisabled(const QString &handlerId, int dorvNumber);
    void log(const QString &line) const;

    Data *m_data;
};

} // namespace TalqDorv
