#include "UnprivilegedRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

namespace UnprivilegedRun {

namespace {

const int kNobody = 65534;
// A safety net against a hung child, not a speed check.
const int kSafetyNetMs = 600000;
// The lines of the child's output that say why a case failed.
const QList<QByteArray> kVerdictMarks{"FAIL!",  "   Loc:", "   Actual", "   Expected", "SKIP",
                                      "QFATAL", "Totals",  "==",        "SUMMARY:"};
const int kVerdictLines = 40;

// A user namespace in which the child is nobody: the files root made (the
// build tree, the runtime folder, the parent's temporary folders) belong to
// the child's own user there, so it reaches them wherever the checkout lies,
// while file permissions apply to it as to any user.
QStringList inUserNamespace()
{
    const QString id = QString::number(kNobody);
    return {QStringLiteral("unshare"), QStringLiteral("--user"), QStringLiteral("--map-user=") + id,
            QStringLiteral("--map-group=") + id, QStringLiteral("--")};
}

// Where user namespaces are disabled: nobody for real, with a home and
// runtime folder of its own (root's are closed to it).
QStringList asNobody()
{
    const QString id = QString::number(kNobody);
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
            QStringLiteral("--clear-groups"), QStringLiteral("--")};
}

bool userNamespacesWork()
{
    static const bool works = [] {
        QStringList probe = inUserNamespace();
        const QString program = probe.takeFirst();
        return QProcess::execute(program, probe << QStringLiteral("true")) == 0;
    }();
    return works;
}

void giveToNobody(const QString &path)
{
    if (chown(QFile::encodeName(path).constData(), kNobody, kNobody) != 0)
        qWarning("cannot give %s to nobody", qPrintable(path));
}

QProcessEnvironment privateFoldersIn(const QString &dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
        const QString folder = dir + QLatin1Char('/') + QLatin1String(name);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        giveToNobody(folder);
        env.insert(QLatin1String(name), folder);
    }
    return env;
}

QString currentCase()
{
    const QString function = QString::fromLatin1(QTest::currentTestFunction());
    const char *tag = QTest::currentDataTag();
    return tag && *tag ? function + QLatin1Char(':') + QString::fromUtf8(tag) : function;
}

// QtTest's verdict line for the case, e.g. "PASS   : TestX::f(row)".
bool passed(const QByteArray &output)
{
    const char *tag = QTest::currentDataTag();
    const QByteArray name = QByteArray("::") + QTest::currentTestFunction() + '(' + (tag ? tag : "") + ')';
    for (const QByteArray &line : output.split('\n'))
        if (line.startsWith("PASS   : ") && line.endsWith(name))
            return true;
    return false;
}

QByteArray verdict(const QByteArray &output)
{
    QList<QByteArray> lines;
    for (const QByteArray &line : output.split('\n'))
        for (const QByteArray &mark : kVerdictMarks)
            if (line.startsWith(mark))
                lines.append(line);
    // Nothing QtTest would say (the child died or did not start): its last words.
    if (lines.isEmpty())
        lines = output.trimmed().split('\n');
    return lines.mid(qMax(0, lines.size() - kVerdictLines)).join('\n');
}

} // namespace

bool runningAsRoot() { return geteuid() == 0; }

bool rerunCurrentCase(QByteArray *report)
{
    QTemporaryDir home;
    QProcess child;
    QStringList command;
    if (userNamespacesWork()) {
        command = inUserNamespace();
        child.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    } else {
        giveToNobody(home.path());
        command = asNobody();
        child.setProcessEnvironment(privateFoldersIn(home.path()));
    }
    const QString program = command.takeFirst();
    command << QCoreApplication::applicationFilePath() << currentCase();
    child.setWorkingDirectory(home.path());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, command);
    const bool finished = child.waitForFinished(kSafetyNetMs);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    const QByteArray output = child.readAll();
    const bool ok = finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && passed(output);
    *report = ok ? QByteArray("passed in a child as nobody (uid 65534) through ") + program.toUtf8()
                 : QByteArray("the unprivileged child did not pass the case (exit code ")
                    + QByteArray::number(child.exitCode()) + "):\n" + verdict(output);
    return ok;
}

} // namespace UnprivilegedRun
