#include "PrintQueueClient.h"

#include "EmulatedObject.h"

#include <QDebug>
#include <QProcess>
#include <QStandardPaths>

namespace {
// What is kept of lp's output for the error text.
const int OUTPUT_TAIL = 4096;
} // namespace

void PrintQueueClient::submit(const QString &pdf, const QString &printer, int copies, bool collate,
                              const QString &title)
{
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (lp.isEmpty())
        throw AutomationFault{DispatchCode::EXCEPTION,
                              QStringLiteral("No print queue client (lp, Debian's cups-client) is installed")};
    QStringList arguments;
    if (!printer.isEmpty())
        arguments << QStringLiteral("-d") << printer;
    arguments << QStringLiteral("-n") << QString::number(qMax(1, copies)) << QStringLiteral("-o")
              << (collate ? QStringLiteral("collate=true") : QStringLiteral("collate=false")) << QStringLiteral("-t")
              << title << QStringLiteral("--") << pdf;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(lp, arguments);
    if (!process.waitForFinished(LIMIT_MS)) {
        qDebug().noquote() << QStringLiteral("[Automation] lp did not end within %1 ms: ended").arg(LIMIT_MS);
        process.kill();
        process.waitForFinished(5000);
        throw AutomationFault{DispatchCode::EXCEPTION, QStringLiteral("The print queue did not answer")};
    }
    const QString output = QString::fromLocal8Bit(process.readAll().right(OUTPUT_TAIL)).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw AutomationFault{DispatchCode::EXCEPTION,
                              QStringLiteral("The print queue refused the job: %1")
                                      .arg(output.isEmpty() ? process.errorString() : output)};
}
