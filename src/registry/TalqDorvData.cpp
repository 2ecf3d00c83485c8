#include "TalqDorvData.h"

#include "AppEnv.h"
#include "TalqDorvProcess.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFileInfo>
#include <QJsonObject>

namespace TalqDorv {

namespace {

const QByteArray PROMPT = QByteArrayLiteral("Please input a line");
const QString OUTPUT_MARKER = QStringLiteral("OUTPUT");
const QString OUTPUT_PREFIX = QStringLiteral("OUTPUT: ");
const QString ERROR_MARKER = QStringLiteral("ERROR");
const QString ERROR_PREFIX = QStringLiteral("ERROR: ");
const QString DB_SUFFIX = QStringLiteral(".mv.db");

void log(const QString &text) { qDebug().noquote() << text; }

QString lineTooLong()
{
    return QStringLiteral("Программа интеграции с TALQ DORV выдала строку длиннее %1 байт").arg(Data::LINE_LIMIT_BYTES);
}

QString withForwardSlashes(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

// The first of the names that exists in the directory, as an absolute path.
QString firstExisting(const QDir &dir, const QStringList &names)
{
    for (const QString &name : names) {
        if (QFileInfo::exists(dir.absoluteFilePath(name)))
            return dir.absoluteFilePath(name);
    }
    return QString();
}

// The program's own prefix goes, but only at the start: the same words
// inside the record's data are data.
QString withoutLeading(const QString &line, const QString &prefix)
{
    return line.startsWith(prefix) ? line.mid(prefix.size()) : line;
}

} // namespace

Data::Data(QObject *parent)
    : QObject(parent)
{ }

Data::~Data() { stop(); }

std::optional<QDir> Data::getTalqDorvHomeDir() const
{
    const QString path = AppEnv::getTalqDorvHomeDirPath();
    if (path.isEmpty())
        return std::nullopt;
    return QDir(withForwardSlashes(path));
}

QString Data::getTalqDorvJarPath() const
{
    const QString configured = AppEnv::getTalqDorvJarPath();
    if (!configured.isEmpty())
        return withForwardSlashes(configured);
    return AppEnv::getApplicationDir().absoluteFilePath(QStringLiteral("integrations/talqdorv/talqdorv.jar"));
}

std::optional<QDir> Data::getJavaHomeDir() const
{
    const QString configured = AppEnv::getJavaHomeDirPath();
    if (!configured.isEmpty())
        return QDir(withForwardSlashes(configured));
    const std::optional<QDir> home = getTalqDorvHomeDir();
    if (!home)
        return std::nullopt;
    const QList<QPair<QString, QString>> candidates = {
            {QStringLiteral("jre7/bin/java.exe"), QStringLiteral("jre7")},
            {QStringLiteral("jre/bin/java.exe"), QStringLiteral("jre")},
            {QStringLiteral("jre/bin/java"), QStringLiteral("jre")},
            {QStringLiteral("jre/bin/java.sh"), QStringLiteral("jre")},
    };
    for (const auto &candidate : candidates) {
        if (QFileInfo::exists(home->absoluteFilePath(candidate.first)))
            return QDir(home->absoluteFilePath(candidate.second));
    }
    return std::nullopt;
}

QString Data::getJavaExePath() const
{
    const std::optional<QDir> javaHome = getJavaHomeDir();
    if (!javaHome)
        return QString();
    return firstExisting(*javaHome,
                         {QStringLiteral("bin/java.exe"), QStringLiteral("bin/java"), QStringLiteral("bin/java.sh")});
}

QString Data::getTalqDorvDbPath() const
{
    const QString configured = AppEnv::getTalqDorvDbPath();
    if (!configured.isEmpty())
        return withForwardSlashes(configured);
    const std::optional<QDir> home = getTalqDorvHomeDir();
    if (!home)
        return QString();
    return firstExisting(*home, {QStringLiteral("DB.mv.db"), QStringLiteral("db.mv.db")});
}

bool Data::canRun() const { return reasonCodeIfCannotRun().isNull(); }

QString Data::reasonCodeIfCannotRun() const
{
    if (getTalqDorvJarPath().isEmpty())
        return QStringLiteral("integration_jar_not_found");
    const std::optional<QDir> home = getTalqDorvHomeDir();
    if (!home || !home->exists()) {
        if (getJavaExePath().isEmpty() || getTalqDorvDbPath().isEmpty())
            return QStringLiteral("talq_dorv_home_dir_not_set");
    }
    const QString dbPath = getTalqDorvDbPath();
    if (dbPath.isEmpty())
        return QStringLiteral("talq_dorv_db_not_set");
    if (!QFileInfo::exists(dbPath))
        return QStringLiteral("talq_dorv_db_not_found");
    return QString();
}

Process *Data::buildProcess()
{
    auto *process = new Process(this);
    process->setProgramPath(getJavaExePath());
    QString dbArgument = getTalqDorvDbPath();
    dbArgument.remove(DB_SUFFIX, Qt::CaseInsensitive);
    process->addArgument(QStringLiteral("-Dfile.encoding=UTF-8"));
    process->addArgument(QStringLiteral("-jar"));
    process->addPathArgument(getTalqDorvJarPath());
    process->addArgument(QStringLiteral("-db"));
    process->addPathArgument(dbArgument);
    const QStringList arguments = process->arguments();
    log(QStringLiteral("[Data] Java exe: %1").arg(process->program()));
    log(QStringLiteral("[Data] Arg - %1").arg(arguments.at(0)));
    log(QStringLiteral("[Data] Arg - jar: %1").arg(arguments.at(2)));
    log(QStringLiteral("[Data] Arg - db: %1").arg(arguments.at(4)));
    return process;
}

bool Data::start()
{
    stop();
    m_errorString.clear();
    m_process = buildProcess();
    if (m_process->program().isEmpty())
        return failStart(QStringLiteral("Не найдена программа java для интеграции с TALQ DORV"));
    m_process->setExpectingOutput(true);
    m_process->start();
    log(QStringLiteral("[Data] Process id: %1").arg(m_process->processId()));
    if (!m_process->waitForStarted(m_waitLimitMs)) {
        return failStart(QStringLiteral("Не удалось запустить программу интеграции с TALQ DORV '%1': %2")
                                 .arg(m_process->program(), m_process->errorString()));
    }
    const bool ready = waitForPrompt();
    if (m_process)
        m_process->setExpectingOutput(false);
    return ready;
}

// Lines before the prompt are the program's own log; it is ready once the
// prompt shows, also when it ends without a line end.
bool Data::waitForPrompt()
{
    const QDeadlineTimer deadline(m_waitLimitMs);
    if (!m_process->canReadLine())
        m_process->waitForOutput(deadline);
    for (;;) {
        if (m_process->canReadLine()) {
            const QByteArray line = m_process->readLine();
            log(QStringLiteral("[Data] Read line: %1").arg(QString::fromUtf8(line)));
            if (line.startsWith(PROMPT))
                return true;
            continue;
        }
        if (m_process->peekBuffered().startsWith(PROMPT)) {
            log(QStringLiteral("[Data] Read line: %1").arg(QString::fromUtf8(m_process->readBuffered())));
            return true;
        }
        if (m_process->bufferedBytes() > LINE_LIMIT_BYTES)
            return failStart(lineTooLong());
        if (!m_process->isRunning()) {
            return failStart(
                    QStringLiteral("Программа интеграции с TALQ DORV завершилась, не выдав приглашения к вводу (%1)")
                            .arg(m_process->exitDescription()));
        }
        if (deadline.hasExpired()) {
            return failStart(QStringLiteral("Программа интеграции с TALQ DORV не выдала приглашения к вводу за %1 мс")
                                     .arg(m_waitLimitMs));
        }
        m_process->waitForOutput(deadline);
    }
}

bool Data::failStart(const QString &message)
{
    log(QStringLiteral("[Data] %1").arg(message));
    m_errorString = message;
    stop();
    return false;
}

void Data::stop()
{
    if (!m_process)
        return;
    m_process->kill();
    // Forgotten for good: a new start builds a fresh process.
    delete m_process;
    m_process = nullptr;
}

bool Data::isStarted() const { return m_process && m_process->isRunning(); }

QString Data::errorString() const { return m_errorString; }

QString Data::execCommand(QString command)
{
    if (!command.endsWith(QLatin1Char('\n')))
        command += QLatin1Char('\n');
    log(QStringLiteral("[Data] Write to stdin: %1").arg(command));
    if (!isStarted())
        return failRequest(QStringLiteral("Программа интеграции с TALQ DORV не запущена"));
    m_process->setExpectingOutput(true);
    const qint64 written = m_process->write(command.toUtf8());
    log(QStringLiteral("[Data] Write to stdin count: %1").arg(written));
    m_process->waitForBytesWritten(m_waitLimitMs);
    const QString answer = readAnswer();
    if (m_process)
        m_process->setExpectingOutput(false);
    return answer;
}

// Skips the program's log lines up to the answer line. One wait limit covers
// the whole answer, so neither silence nor endless chatter blocks for ever.
QString Data::readAnswer()
{
    const QDeadlineTimer deadline(m_waitLimitMs);
    if (!m_process->canReadLine())
        m_process->waitForOutput(deadline);
    for (;;) {
        if (m_process->canReadLine()) {
            const QString line = QString::fromUtf8(m_process->readLine());
            log(QStringLiteral("[Data] Read line: %1").arg(line));
            if (const std::optional<QString> answer = answerFromLine(line))
                return *answer;
            continue;
        }
        if (m_process->bufferedBytes() > LINE_LIMIT_BYTES)
            return failRequest(lineTooLong());
        if (!m_process->isRunning()) {
            return failRequest(QStringLiteral("Программа интеграции с TALQ DORV завершилась, не ответив на запрос (%1)")
                                       .arg(m_process->exitDescription()));
        }
        if (deadline.hasExpired()) {
            return failRequest(QStringLiteral("Программа интеграции с TALQ DORV не ответила на запрос за %1 мс")
                                       .arg(m_waitLimitMs));
        }
        log(QStringLiteral("[Data] Wait ready for read"));
        m_process->waitForOutput(deadline);
    }
}

std::optional<QString> Data::answerFromLine(const QString &line)
{
    if (line.startsWith(OUTPUT_MARKER))
        return withoutLeading(line, OUTPUT_PREFIX);
    if (line.startsWith(ERROR_MARKER)) {
        QString text = withoutLeading(line, ERROR_PREFIX);
        text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        return errorAnswer(text);
    }
    return std::nullopt;
}

// The program is stopped so the next request starts it afresh instead of
// reading a late answer meant for this one.
QString Data::failRequest(const QString &message)
{
    log(QStringLiteral("[Data] %1").arg(message));
    stop();
    return errorAnswer(message);
}

QString Data::errorAnswer(const QString &text)
{
    return QString::fromUtf8(
            QJsonDocument(QJsonObject{{QStringLiteral("error"), text}}).toJson(QJsonDocument::Compact));
}

QJsonDocument Data::fetch(const QString &commandTemplate, int dorvNumber)
{
    const QString answer = execCommand(commandTemplate.arg(dorvNumber));
    return QJsonDocument::fromJson(answer.toUtf8());
}

QJsonDocument Data::fetchDorvInfo(int dorvNumber) { return fetch(QStringLiteral("Fetch dorv data: %1"), dorvNumber); }

QJsonDocument Data::fetchDorvElectionsInfo(int dorvNumber)
{
    return fetch(QStringLiteral("Fetch dorv elections data: %1"), dorvNumber);
}

QJsonDocument Data::fetchDorvMembersInfo(int dorvNumber)
{
    return fetch(QStringLiteral("Fetch dorv members data: %1"), dorvNumber);
}

QJsonDocument Data::fetchDorvAllInfo(int dorvNumber)
{
    return fetch(QStringLiteral("Fetch dorv all data: %1"), dorvNumber);
}

void Data::setWaitLimitMs(int msecs) { m_waitLimitMs = msecs; }

int Data::waitLimitMs() const { return m_waitLimitMs; }

} // namespace TalqDorv
