// Journal records per second while the file is small (1 KiB) and when it is
// close to the roll-over size (9 MiB).
#include "AppEnv.h"
#include "LogWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QVariantMap kSmall{{QStringLiteral("user"), QStringLiteral("demo")}, {QStringLiteral("step"), 3}};

double recordsPerSecond(int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        LogWriter::writeMessage(QStringLiteral("Пользователь сохранил документ"), kSmall);
    return count * 1e9 / double(timer.nsecsElapsed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QTemporaryDir dir;
    AppEnv::overrideApplicationDirPath(dir.path());
    LogWriter::buildInstance(&app);
    const int count = 2000;

    recordsPerSecond(count); // warm-up, then a fresh file
    LogWriter::instance()->reset();
    LogWriter::writeMessage(QStringLiteral("start"), kSmall);
    const qint64 smallSize = QFileInfo(LogWriter::instance()->currentFilePath()).size();
    // Small records only: the file stays within a few hundred KiB.
    const double atSmall = recordsPerSecond(count);

    const QVariantMap bulk{{QStringLiteral("payload"), QString(64 * 1024, QLatin1Char('x'))}};
    while (QFileInfo(LogWriter::instance()->currentFilePath()).size() < 9 * 1024 * 1024)
        LogWriter::writeMessage(QStringLiteral("bulk"), bulk);
    const qint64 largeSize = QFileInfo(LogWriter::instance()->currentFilePath()).size();
    const double atLarge = recordsPerSecond(count);

    std::printf("journal records/s at %lld bytes: %.0f\n", smallSize, atSmall);
    std::printf("journal records/s at %lld bytes: %.0f\n", largeSize, atLarge);
    std::printf("journal ratio 9MiB/1KiB: %.2f (goal >= 0.8)\n", atLarge / atSmall);
    return 0;
}
