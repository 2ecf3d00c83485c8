#include "WkhtmltopdfProcessor.h"

#include "AppEnv.h"
#include "WkhtmltopdfProcessWkhtmltopdf.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopedPointer>

namespace Wkhtmltopdf {

namespace {

const QString PDF_DIR_MISSING = QStringLiteral("Директории для хранения PDF нет. Cоздаем. Путь: ");
const QString DOC_DIR_MISSING = QStringLiteral("Директории для хранения документа нет. Cоздаем. Путь: ");
const QString BODY_PAGE = QStringLiteral("pdf.html");
const QString HEADER_PAGE = QStringLiteral("pdf_header.html");
const QString FOOTER_PAGE = QStringLiteral("pdf_footer.html");

} // namespace

Processor::Processor(QObject *parent)
    : QObject(parent)
{ }

QString Processor::getPathToWkhtmltopdfExe() const
{
    const QString configured = AppEnv::getPathToWkhtmltopdfExe();
    if (!configured.isEmpty())
        return configured;
    const QDir appDir = AppEnv::getApplicationDir();
    for (const QString &name : {QStringLiteral("integrations/wkhtmltopdf/wkhtmltopdf.exe"),
                                QStringLiteral("integrations/wkhtmltopdf/wkhtmltopdf")}) {
        if (QFileInfo::exists(appDir.absoluteFilePath(name)))
            return appDir.absoluteFilePath(name);
    }
    return QString();
}

bool Processor::isAvailable() const
{
    if (!AppEnv::getPathToWkhtmltopdfExe().isEmpty())
        return true;
    return QFileInfo::exists(getPathToWkhtmltopdfExe());
}

QString Processor::getAvailableErrorCode() const
{
    if (QFileInfo::exists(getPathToWkhtmltopdfExe()))
        return QString();
    return QStringLiteral("exe_file_not_exists");
}

QList<ProcessWkhtmltopdf *> Processor::runs() const
{
    return findChildren<ProcessWkhtmltopdf *>(QString(), Qt::FindDirectChildrenOnly);
}

QString Processor::nativePath(const QString &path) { return QDir::toNativeSeparators(path); }

QString Processor::printPageAddress(const QString &fileName, Use use)
{
    const QString prefix = AppEnv::getPdfPrefixPath();
    if (!prefix.isEmpty())
        return prefix + QLatin1Char('/') + fileName;
    const QString path = AppEnv::getContentDir().absoluteFilePath(fileName);
    if (use == Use::Batch)
        return QStringLiteral("file:///%1").arg(path);
    return QStringLiteral("file://%1").arg(nativePath(path));
}

void Processor::makeDirFor(const QString &filePath, const QString &message)
{
    const QDir dir = QFileInfo(filePath).absoluteDir();
    if (dir.exists())
        return;
    qDebug().noquote() << message + dir.absolutePath();
    QDir().mkpath(dir.absolutePath());
}

bool Processor::convertHtmlToPdf(const QString &pdfFile, const QStringList &convertParams)
{
    if (!isAvailable())
        return false;
    const QString pdfPath = nativePath(pdfFile);
    makeDirFor(pdfPath, PDF_DIR_MISSING);

    auto *run = new ProcessWkhtmltopdf(getPathToWkhtmltopdfExe(), this);
    // A PDF of an earlier call at the same path is no answer to this one.
    const QDateTime earlierPdf = QFileInfo(pdfPath).lastModified();
    connect(run, &ProcessWkhtmltopdf::finished, this,
            [this, run, pdfPath, earlierPdf](int exitCode) { answerSingleRun(run, pdfPath, earlierPdf, exitCode); });
    connect(run, &ProcessWkhtmltopdf::error, this, &Processor::convertHtmlToPdfError);

    QStringList arguments = convertParams;
    arguments << QStringLiteral("--enable-local-file-access") << QStringLiteral("--footer-html")
              << nativePath(printPageAddress(FOOTER_PAGE, Use::Single)) << QStringLiteral("--footer-spacing")
              << QStringLiteral("10") << QStringLiteral("--header-html")
              << nativePath(printPageAddress(HEADER_PAGE, Use::Single)) << QStringLiteral("--header-spacing")
              << QStringLiteral("18") << QStringLiteral("--margin-left") << QStringLiteral("20mm")
              << QStringLiteral("--debug-javascript") << QStringLiteral("--javascript-delay") << QStringLiteral("2000")
              << printPageAddress(BODY_PAGE, Use::Single) << pdfPath;
    return run->command(arguments);
}

void Processor::answerSingleRun(const ProcessWkhtmltopdf *run, const QString &pdfPath, const QDateTime &earlierPdf,
                                int exitCode)
{
    // The converter's exit code also reports a print page resource it could
    // not load, with the PDF written all the same; without a PDF of this call
    // nothing was converted, whatever the exit code says.
    const QFileInfo pdf(pdfPath);
    const bool written = pdf.exists() && pdf.lastModified() != earlierPdf;
    if (!written) {
        qDebug().noquote() << QStringLiteral("[Wkhtmltopdf::Processor] No PDF written to %1 (exit code %2): %3")
                                      .arg(pdfPath)
                                      .arg(exitCode)
                                      .arg(run->lastWords());
        emit convertHtmlToPdfError();
        return;
    }
    if (exitCode != 0)
        qDebug().noquote() << QStringLiteral("[Wkhtmltopdf::Processor] PDF %1 written with exit code %2: %3")
                                      .arg(pdfPath)
                                      .arg(exitCode)
                                      .arg(run->lastWords());
    emit convertHtmlToPdfFinished();
}

bool Processor::convertHtmlToPdfBatch(const QStringList &pdfFilePaths, const QStringList &convertParams,
                                      const QStringList &docsFrom, const QStringList &docsTo)
{
    if (!isAvailable())
        return false;
    if (refuseBatch(pdfFilePaths, convertParams, docsFrom, docsTo))
        return false;

    auto *run = new ProcessWkhtmltopdf(getPathToWkhtmltopdfExe(), this);
    connect(run, &ProcessWkhtmltopdf::updateCounter, this, &Processor::convertHtmlToPdfUpdateCounter);
    // A converter that dies or goes silent before the batch is complete.
    connect(run, &ProcessWkhtmltopdf::error, this, &Processor::convertHtmlToPdfError);
    run->start(printPageAddress(FOOTER_PAGE, Use::Batch), printPageAddress(HEADER_PAGE, Use::Batch));

    const QString bodyAddress = printPageAddress(BODY_PAGE, Use::Batch);
    for (int i = 0; i < pdfFilePaths.size(); ++i)
        queueConversion(run, pdfFilePaths.at(i), convertParams.at(i), bodyAddress);
    run->finishQueue();

    for (int j = 0; j < docsFrom.size(); ++j)
        copyDataDocument(docsFrom.at(j), docsTo.at(j));
    return true;
}

bool Processor::refuseBatch(const QStringList &pdfFilePaths, const QStringList &convertParams,
                            const QStringList &docsFrom, const QStringList &docsTo)
{
    QString reason;
    if (convertParams.size() < pdfFilePaths.size())
        reason = QStringLiteral("fewer scripts (%1) than PDF files (%2)")
                         .arg(convertParams.size())
                         .arg(pdfFilePaths.size());
    else if (docsTo.size() < docsFrom.size())
        reason = QStringLiteral("fewer destinations (%1) than documents (%2)").arg(docsTo.size()).arg(docsFrom.size());
    else if (pdfFilePaths.contains(QString()))
        reason = QStringLiteral("an empty PDF file path");
    if (reason.isEmpty())
        return false;
    qDebug().noquote() << QStringLiteral("[Wkhtmltopdf::Processor] Batch refused: %1").arg(reason);
    emit convertHtmlToPdfError();
    return true;
}

void Processor::queueConversion(ProcessWkhtmltopdf *run, const QString &pdfFilePath, const QString &script,
                                const QString &bodyAddress)
{
    makeDirFor(pdfFilePath, PDF_DIR_MISSING);
    QStringList arguments;
    // The converter drops an empty argument and would then misread the line.
    if (!script.isEmpty())
        arguments << QStringLiteral("--run-script") << script;
    arguments << bodyAddress << QFileInfo(pdfFilePath).absoluteFilePath();
    run->commandToStdin(arguments);
}

void Processor::copyDataDocument(const QString &from, const QString &to)
{
    static const QRegularExpression dataFolder(QStringLiteral("\\/?data\\/"));
    QString destination = to;
    const QString sourceName = QString(from).remove(dataFolder);
    qDebug().noquote() << QStringLiteral("Копируем документ: %1. в %2").arg(sourceName, destination);

    const QDir destinationDir = QFileInfo(destination).absoluteDir();
    if (!destinationDir.exists()) {
        qDebug().noquote() << DOC_DIR_MISSING + destinationDir.absolutePath();
        QDir().mkpath(destinationDir.absolutePath());
    }

    const QScopedPointer<QFile> source(AppEnv::getContentDataFile(sourceName));
    const QFileInfo sourceInfo(*source);
    if (!sourceInfo.exists()) {
        qDebug().noquote()
                << QStringLiteral("Файл не найден. Файл: %1. Путь: %2").arg(sourceName, sourceInfo.absoluteFilePath());
        return;
    }

    const QString suffix = QStringLiteral(".%1").arg(sourceInfo.suffix());
    if (destination.trimmed().isEmpty())
        destination = sourceInfo.fileName();
    if (!destination.endsWith(suffix))
        destination += suffix;

    source->copy(destinationDir.absoluteFilePath(QFileInfo(destination).fileName()));
    qDebug().noquote() << QStringLiteral("Файл %1 скопирован в %2").arg(sourceName, destination);
}

} // namespace Wkhtmltopdf
