#include "WkhtmltopdfTestUtil.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtGlobal>

namespace WkhtmltopdfTestUtil {

QString realConverter()
{
    const QString path =
            qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/wkhtmltopdf/wkhtmltopdf");
    return QFileInfo::exists(path) ? path : QString();
}

QString writeFakeConverter(const QString &dir, const QString &name, const QByteArray &body)
{
    const QString path = dir + QLatin1Char('/') + name;
    TestFiles::writeFile(path, "#!/bin/sh\n" + body + "\n");
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

} // namespace WkhtmltopdfTestUtil
