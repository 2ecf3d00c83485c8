#include "TmpfsMount.h"

#include <QProcess>

namespace {

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished() && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

TmpfsMount::TmpfsMount(qint64 sizeBytes)
{
    m_mounted = m_dir.isValid()
            && run(QStringLiteral("mount"),
                   {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                    QStringLiteral("size=%1").arg(sizeBytes), QStringLiteral("tmpfs"), m_dir.path()});
}

TmpfsMount::~TmpfsMount()
{
    if (m_mounted)
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

bool TmpfsMount::detach()
{
    if (!m_mounted || !run(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()}))
        return false;
    m_mounted = false;
    return true;
}
