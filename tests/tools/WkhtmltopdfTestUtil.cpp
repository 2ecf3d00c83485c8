#include "WkhtmltopdfTestUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtGlobal>

namespace WkhtmltopdfTestUtil {

namespace {

QStringList &captured()
{
    static QStringList lines;
    return lines;
}

QtMessageHandler previousHandler = nullptr;

void captureHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Q_UNUSED(type)
    Q_UNUSED(context)
    captured().append(message);
}

} // namespace

QString realConverter()
{
    const QString path =
            qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/wkhtmltopdf/wkhtmltopdf");
    return QFileInfo::exists(path) ? path : QString();
}

QString writeFakeConverter(const QString &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir + QLatin1Char('/') + name;
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

QString pdfText(const QString &pdfPath)
{
    if (!QFileInfo::exists(pdfPath))
        return QString();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
    pdftotext.closeWriteChannel();
    pdftotext.waitForFinished(30000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

void copyDemoPrintPages(const QString &contentDir)
{
    const QString source = qEnvironmentVariable("COVREL_SOURCE_DIR") + QStringLiteral("/content/");
    QDir().mkpath(contentDir);
    for (const QString &name :
         {QStringLiteral("pdf.html"), QStringLiteral("pdf_header.html"), QStringLiteral("pdf_footer.html")})
        QFile::copy(source + name, contentDir + QLatin1Char('/') + name);
}

bool processAlive(qint64 pid)
{
    // A killed child that was waited for is gone from /proc, zombie included.
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

LogCapture::LogCapture()
{
    captured().clear();
    previousHandler = qInstallMessageHandler(captureHandler);
}

LogCapture::~LogCapture() { qInstallMessageHandler(previousHandler); }

QStringList LogCapture::lines() const { return captured(); }

QString LogCapture::lineStartingWith(const QString &prefix) const
{
    for (const QString &line : captured()) {
        if (line.startsWith(prefix))
            return line;
    }
    return QString();
}

} // namespace WkhtmltopdfTestUtil
