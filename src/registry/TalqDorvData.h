#pragma once

#include <QDir>
#include <QJsonDocument>
#include <QObject>
#include <QString>

#include <optional>

namespace TalqDorv {

class Process;

// Provider of registry records: finds the Java runtime, the integration
// archive and the database, starts the integration program and runs its
// requests over the line protocol. Every request blocks until answered,
// failed, or the wait limit ran out; a failure comes back as a JSON object
// {"error": text}, the same shape as the program's own error answers.
class Data : public QObject
{
    Q_OBJECT
public:
    static const int DEFAULT_WAIT_LIMIT_MS = 30000;
    // Longest line read from the program: far above any record's answer, so
    // only a program printing without end reaches it (the request fails).
    static const int LINE_LIMIT_BYTES = 16 * 1024 * 1024;

    explicit Data(QObject *parent);
    // The integration program ends with its provider.
    ~Data() override;

    std::optional<QDir> getTalqDorvHomeDir() const;
    QString getTalqDorvJarPath() const;
    std::optional<QDir> getJavaHomeDir() const;
    QString getJavaExePath() const;
    QString getTalqDorvDbPath() const;

    bool canRun() const;
    QString reasonCodeIfCannotRun() const;

    Process *buildProcess();
    // False when the program could not be made ready; errorString() says why
    // and nothing is left running.
    bool start();
    void stop();
    bool isStarted() const;
    QString errorString() const;

    QString execCommand(QString command);
    QJsonDocument fetchDorvInfo(int dorvNumber);
    QJsonDocument fetchDorvElectionsInfo(int dorvNumber);
    QJsonDocument fetchDorvMembersInfo(int dorvNumber);
    QJsonDocument fetchDorvAllInfo(int dorvNumber);

    // Each wait for the program (start, prompt, answer) gives up after this.
    void setWaitLimitMs(int msecs);
    int waitLimitMs() const;

    static QString errorAnswer(const QString &text);
    // One line the program wrote, read as the answer to a request: the record
    // after "OUTPUT", an error answer for "ERROR", nothing for a log line.
    static std::optional<QString> answerFromLine(const QString &line);

private:
    bool failStart(const QString &message);
    bool waitForPrompt();
    QString readAnswer();
    QString failRequest(const QString &message);
    QJsonDocument fetch(const QString &commandTemplate, int dorvNumber);

    Process *m_process = nullptr;
    QString m_errorString;
    int m_waitLimitMs = DEFAULT_WAIT_LIMIT_MS;
};

} // namespace TalqDorv
