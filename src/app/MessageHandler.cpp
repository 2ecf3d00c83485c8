#include "MessageHandler.h"

#include "AppEnv.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTextCodec>

#include <cstdio>

namespace {

// One double quote at the very start and one at the very end are dropped, so
// strings logged with quotes are written without them.
QString withoutOuterQuotes(const QString &text)
{
    int begin = 0;
    int end = text.size();
    if (end > 0 && text.at(0) == QLatin1Char('"'))
        ++begin;
    if (end > begin && text.at(end - 1) == QLatin1Char('"'))
        --end;
    return (begin == 0 && end == text.size()) ? text : text.mid(begin, end - begin);
}

QString withLevelPrefix(QtMsgType type, const QString &text)
{
    switch (type) {
    case QtDebugMsg:
        return QLatin1String("[Debug] ") + text;
    case QtWarningMsg:
        return QLatin1String("[Warning] ") + text;
    case QtCriticalMsg:
        return QLatin1String("[Critical] ") + text;
    case QtFatalMsg:
        return QLatin1String("[Fatal] ") + text;
    case QtInfoMsg:
        return QLatin1String("[Info] ") + text;
    }
    return text;
}

// One write per line, flushed at once: the line is out before anything else happens.
void writeToConsole(const QString &line)
{
    static QTextCodec *codec = consoleCodec();
    QByteArray bytes = codec->fromUnicode(line);
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString debugFilePath()
{
    if (AppEnv::isDebugFilePath())
        return QString(AppEnv::getDebugFilePath()).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QDir logsDir(AppEnv::getStoreDir().absoluteFilePath(QStringLiteral("logs")));
    if (!logsDir.exists()) {
        // Created before the line is logged: logging it comes back through this handler.
        QDir().mkpath(logsDir.absolutePath());
        qDebug().noquote() << QStringLiteral("[LogWriter] Директории для хранения логов нет создаем. Путь: ")
                        + logsDir.absolutePath();
    }
    return logsDir.absoluteFilePath(QStringLiteral("debug.log"));
}

void writeToDebugFile(const QString &line)
{
    QFile file(debugFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    file.write(
            QTextCodec::codecForLocale()->fromUnicode(QStringLiteral("[%1] ").arg(stamp) + line + QLatin1Char('\n')));
}

} // namespace

QTextCodec *consoleCodec()
{
#ifdef Q_OS_WIN
    return QTextCodec::codecForName("CP866");
#else
    return QTextCodec::codecForLocale();
#endif
}

void customQDebugMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(context)
    const QString line = withLevelPrefix(type, withoutOuterQuotes(message));
    writeToConsole(line);
    // Finding the debug file may log (a directory being made); such a nested
    // message goes to the console only, so an unwritable store cannot recurse.
    static bool writingDebugFile = false;
    if (AppEnv::isDebug() && !writingDebugFile) {
        writingDebugFile = true;
        writeToDebugFile(line);
        writingDebugFile = false;
    }
}
