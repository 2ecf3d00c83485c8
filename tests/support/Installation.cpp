#include "Installation.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

const int kSafetyNetMs = 180000;

QString builtBinDir() { return qEnvironmentVariable("COVREL_BIN_DIR"); }

void copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QFileInfo info = it.fileInfo();
        const QString target = to + source.mid(from.size());
        if (info.isSymLink())
            QFile::link(info.symLinkTarget(), target);
        else if (info.isDir())
            QDir().mkpath(target);
        else
            QFile::copy(source, target);
    }
}

} // namespace

Installation::Installation(const QString &parentDir)
    : m_dir(parentDir.isEmpty() ? QDir::tempPath() + QStringLiteral("/covrel-XXXXXX")
                                : parentDir + QStringLiteral("/covrel-XXXXXX"))
{
    const QString bin = builtBinDir();
    QFile::copy(bin + QStringLiteral("/covrel"), path(QStringLiteral("covrel")));
    QFile::setPermissions(path(QStringLiteral("covrel")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    copyTree(bin + QStringLiteral("/translations"), path(QStringLiteral("translations")));
    copyTree(bin + QStringLiteral("/integrations"), path(QStringLiteral("integrations")));
    QDir().mkpath(path(QStringLiteral("content")));
}

QString Installation::dir() const { return m_dir.path(); }
QString Installation::path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

void Installation::writeFile(const QString &relative, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile file(path(relative));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void Installation::writeContent(const QString &relative, const QByteArray &bytes)
{
    writeFile(QStringLiteral("content/") + relative, bytes);
}

void Installation::setFileSizeLimit(qint64 bytes) { m_fileSizeLimit = bytes; }

QProcess *Installation::start(const QStringList &arguments, QObject *parent)
{
    auto *process = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The user's own data (the page's web storage) stays with this installation.
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("user-data")));
    process->setProcessEnvironment(env);
    // Started from somewhere else: the content must still be found beside the executable.
    process->setWorkingDirectory(QDir::tempPath());
    if (m_fileSizeLimit < 0) {
        process->start(path(QStringLiteral("covrel")), arguments);
    } else {
        // prlimit sets the limit on itself and then becomes the shell.
        process->start(QStringLiteral("prlimit"),
                       QStringList{QStringLiteral("--fsize=%1").arg(m_fileSizeLimit), QStringLiteral("--"),
                                   path(QStringLiteral("covrel"))}
                               + arguments);
    }
    process->waitForStarted();
    process->closeWriteChannel();
    return process;
}

int Installation::run(const QStringList &arguments, QByteArray *stdOut, QByteArray *stdErr)
{
    QScopedPointer<QProcess> process(start(arguments));
    if (!process->waitForFinished(kSafetyNetMs)) {
        process->kill();
        process->waitForFinished();
        return -1;
    }
    if (stdOut)
        *stdOut = process->readAllStandardOutput();
    if (stdErr)
        *stdErr = process->readAllStandardError();
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

bool Installation::waitForOutput(QProcess *process, const QByteArray &marker, QByteArray *seen)
{
    QByteArray all;
    bool found = false;
    while (!found) {
        if (process->bytesAvailable() == 0 && !process->waitForReadyRead(kSafetyNetMs))
            break;
        all += process->readAllStandardOutput();
        found = all.contains(marker);
    }
    if (seen)
        *seen = all;
    return found;
}

QByteArray Installation::waitForLine(QProcess *process, const QByteArray &marker)
{
    // A process that keeps printing other lines must not keep the test waiting.
    const QDeadlineTimer deadline(kSafetyNetMs);
    QByteArray all;
    for (;;) {
        const int at = all.indexOf(marker);
        const int end = at < 0 ? -1 : all.indexOf('\n', at);
        if (end >= 0) {
            const int start = all.lastIndexOf('\n', at) + 1;
            return all.mid(start, end - start);
        }
        if (deadline.hasExpired()
            || (process->bytesAvailable() == 0 && !process->waitForReadyRead(int(deadline.remainingTime()))))
            return QByteArray();
        all += process->readAllStandardOutput();
    }
}

QStringList Installation::journalFiles() const
{
    QStringList files;
    for (const QString &name :
         QDir(path(QStringLiteral("store/logs"))).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        files << path(QStringLiteral("store/logs/") + name);
    return files;
}
