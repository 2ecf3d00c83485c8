#include "PrintQueue.h"

#include "EventWait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString PPD = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString BACKEND = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
// Only a safety net against a broken machine: each step takes well under a second.
const int STEP_MS = 30000;

bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(STEP_MS);
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool schedulerRunning()
{
    QString output;
    run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &output);
    return output.contains(QLatin1String("scheduler is running"));
}

QString homeDir()
{
    const passwd *user = getpwuid(getuid());
    return user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
}

QString configuredOutputDir()
{
    QString out = QStringLiteral("${HOME}/PDF");
    QFile config(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (config.open(QIODevice::ReadOnly)) {
        static const QRegularExpression line(QStringLiteral("^\\s*Out\\s+(\\S+)"), QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(QString::fromLocal8Bit(config.readAll()));
        if (match.hasMatch())
            out = match.captured(1);
    }
    return out.replace(QStringLiteral("${HOME}"), homeDir())
            .replace(QStringLiteral("${USER}"), qEnvironmentVariable("USER"));
}

} // namespace

bool PrintQueue::ensure(QString *whyNot)
{
    if (QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty() || !QFileInfo::exists(BACKEND)
        || !QFileInfo::exists(PPD)) {
        *whyNot = QStringLiteral(
                "CUPS with the cups-pdf printer is not installed (Debian's cups, printer-driver-cups-pdf)");
        return false;
    }
    if (!schedulerRunning()) {
        if (getuid() != 0) {
            *whyNot = QStringLiteral("The CUPS scheduler is not running and only root may start it here");
            return false;
        }
        // cupsd puts itself in the background once it listens.
        if (!run(QStringLiteral("/usr/sbin/cupsd"), {}) || !waitUntil(schedulerRunning, STEP_MS)) {
            *whyNot = QStringLiteral("The CUPS scheduler did not start");
            return false;
        }
    }
    // Added, or brought back to these settings. The PDF the office sends reaches cups-pdf as
    // PostScript: poppler's converter keeps its text readable, the default one does not.
    QString output;
    if (!run(QStringLiteral("lpadmin"),
             {QStringLiteral("-p"), m_name, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("cups-pdf:/"),
              QStringLiteral("-P"), PPD, QStringLiteral("-o"), QStringLiteral("pdftops-renderer-default=pdftops")},
             &output)) {
        *whyNot = QStringLiteral("The cups-pdf queue could not be added: %1").arg(output.trimmed());
        return false;
    }
    m_outputDir = configuredOutputDir();
    return true;
}

QStringList PrintQueue::jobFiles() const { return QDir(m_outputDir).entryList({QStringLiteral("*.pdf")}, QDir::Files); }

QString PrintQueue::waitForJob(const QStringList &before, const QString &title) const
{
    static const QRegularExpression titleLine(QStringLiteral("^Title:\\s*(.*)$"), QRegularExpression::MultilineOption);
    QString found;
    // The queue works on its own time: wait for the file, as for any event.
    waitUntil(
            [&] {
                for (const QString &file : jobFiles()) {
                    const QString path = QDir(m_outputDir).filePath(file);
                    QString info;
                    if (!before.contains(file) && run(QStringLiteral("pdfinfo"), {path}, &info)
                        && titleLine.match(info).captured(1).contains(title)) {
                        found = path;
                        return true;
                    }
                }
                return false;
            },
            60000);
    return found;
}

QString pdfText(const QString &path)
{
    QString text;
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-q"), path, QStringLiteral("-")}, &text) ? text
                                                                                                      : QString();
}

int pdfDarkPixels(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-f"),
                   QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"), path});
    if (!process.waitForFinished(STEP_MS) || process.exitCode() != 0)
        return -1;
    // A binary PGM: "P5", width, height, maximum value, then one byte a pixel.
    const QByteArray image = process.readAllStandardOutput();
    static const QRegularExpression header(QStringLiteral("^P5\\s+\\d+\\s+\\d+\\s+\\d+\\s"));
    const QRegularExpressionMatch match = header.match(QString::fromLatin1(image.left(64)));
    if (!match.hasMatch())
        return -1;
    int dark = 0;
    for (int i = match.capturedLength(); i < image.size(); ++i)
        dark += static_cast<unsigned char>(image.at(i)) < 128 ? 1 : 0;
    return dark;
}
