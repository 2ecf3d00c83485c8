#include "CovrelExecProces.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

QString withSlashes(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

} // namespace

CovrelExecProces::CovrelExecProces(QObject *parent)
    : QObject(parent)
    , m_process(new QProcess(parent))
{ }

QString CovrelExecProces::handlerId() const { return m_handlerId; }
void CovrelExecProces::setHandlerId(const QString &handlerId) { m_handlerId = handlerId; }
QString CovrelExecProces::execPath() const { return m_execPath; }
void CovrelExecProces::setExecPath(const QString &execPath) { m_execPath = execPath; }
QStringList CovrelExecProces::arguments() const { return m_arguments; }
void CovrelExecProces::setArguments(const QStringList &arguments) { m_arguments = arguments; }
QString CovrelExecProces::workingDir() const { return m_workingDir; }
void CovrelExecProces::setWorkingDir(const QString &workingDir) { m_workingDir = workingDir; }

QString CovrelExecProces::correctExecPath() const { return withSlashes(m_execPath); }
QString CovrelExecProces::correctWorkingDir() const { return withSlashes(m_workingDir); }

void CovrelExecProces::init(const QString &handlerId, const QString &execPath, const QStringList &arguments,
                            const QString &workingDir)
{
    setHandlerId(handlerId);
    setExecPath(execPath);
    setArguments(arguments);
    setWorkingDir(workingDir);
    qDebug().noquote() << QStringLiteral("Преобразованный путь: ") + correctExecPath();
    qDebug().noquote() << QStringLiteral("Преобразованный рабочий каталог: %1").arg(correctWorkingDir());
    prepareProcess();
}

void CovrelExecProces::prepareProcess()
{
    // The only place where the page's paths become the platform's own. The
    // program is the very file valid() checked: a relative path would
    // otherwise be looked up again in the working directory or along PATH.
    m_process->setProgram(QDir::toNativeSeparators(QFileInfo(correctExecPath()).absoluteFilePath()));
    m_process->setArguments(m_arguments);
    m_process->setWorkingDirectory(QDir::toNativeSeparators(correctWorkingDir()));

    // Programs must not pick up libraries meant for this application.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_LIBRARY_PATH"), QString());
    m_process->setProcessEnvironment(environment);

    // Nobody answers the child or reads what it writes: an open input would
    // keep a program that reads it waiting forever, and unread output would
    // pile up in memory.
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());

    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &CovrelExecProces::_processFinished);
    connect(m_process, &QProcess::errorOccurred, this, &CovrelExecProces::_processError);
    connect(m_process, &QProcess::started, this, &CovrelExecProces::_processStarted);
    connect(m_process, &QProcess::stateChanged, this, &CovrelExecProces::_proceesStateChanged);
}

bool CovrelExecProces::valid()
{
    const QFileInfo file(correctExecPath());
    if (!file.exists()) {
        qDebug().noquote() << QStringLiteral("Путь: ") + correctExecPath()
                        + QStringLiteral(" не сущесвует. Кидаем ошибку");
        failAndRelease(QStringLiteral("Испольняемый файл не найден"));
        return false;
    }
    if (!file.isExecutable()) {
        qDebug().noquote() << QStringLiteral("Файл: ") + correctExecPath()
                        + QStringLiteral(" неисполняемый. Кидаем ошибку");
        failAndRelease(QStringLiteral("Файл не является исполняемым"));
        return false;
    }
    return true;
}

void CovrelExecProces::start() { m_process->start(QIODevice::ReadOnly); }

void CovrelExecProces::_processStarted() { emit execStarted(m_handlerId, m_execPath); }

void CovrelExecProces::_processFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (exitCode != 0 || exitStatus == QProcess::CrashExit) {
        failAndRelease(QStringLiteral("Программа завершилась с ошибкой"));
        return;
    }
    emit execFinished(m_handlerId, m_execPath);
    release();
}

void CovrelExecProces::_processError(QProcess::ProcessError error)
{
    // A crash is answered by _processFinished; only a failed start ends the run here.
    if (error == QProcess::FailedToStart)
        failAndRelease(QStringLiteral("Неудалось запустить программу"));
}

void CovrelExecProces::_proceesStateChanged(QProcess::ProcessState newState)
{
    QString text;
    switch (newState) {
    case QProcess::NotRunning:
        text = QStringLiteral(
                "[%1] Программа в состоянии NotRunning. ProcessId: %2. Путь: %3. Домашняя директория: %4");
        break;
    case QProcess::Starting:
        text = QStringLiteral("[%1] Программа в состоянии Starting. ProcessId: %2. Путь: %3. Домашняя директория: %4");
        break;
    case QProcess::Running:
        text = QStringLiteral("[%1] Программа в состоянии Running. ProcessId: %2. Путь: %3. Домашняя директория: %4");
        break;
    }
    qDebug().noquote() << text.arg(m_handlerId, QString::number(m_process->processId()), m_execPath, m_workingDir);
}

void CovrelExecProces::failAndRelease(const QString &errorMessage)
{
    emit execError(m_handlerId, m_execPath, errorMessage);
    release();
}

void CovrelExecProces::release()
{
    // The run has given its last answer: nothing needs it any more.
    m_process->deleteLater();
    deleteLater();
}
