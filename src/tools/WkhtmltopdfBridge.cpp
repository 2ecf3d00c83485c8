#include "WkhtmltopdfBridge.h"

#include "AppEnv.h"
#include "WkhtmltopdfProcessor.h"

#include <QDebug>
#include <QRegularExpression>

namespace Wkhtmltopdf {

Bridge::Bridge(QObject *parent)
    : QObject(parent)
{ }

bool Bridge::isAvailable() { return Processor().isAvailable(); }

QString Bridge::getAvailableErrorCode() { return Processor().getAvailableErrorCode(); }

void Bridge::convertHtmlToPdf(const QString &handlerId, const QString &pdfFile, const QStringList &convertParams)
{
    qDebug().noquote() << QStringLiteral(
                                  "[Wkhtmltopdf::Bridge] Получен запрос на метод convertHtmlToPdf. Id: %1 pdf: %2")
                                  .arg(handlerId, pdfFile);
    auto *processor = new Processor(this);
    connect(processor, &Processor::convertHtmlToPdfFinished, this, [this, handlerId, processor] {
        release(processor);
        emit convertHtmlToPdfFinished(handlerId);
    });
    connect(processor, &Processor::convertHtmlToPdfError, this, [this, handlerId, processor] {
        release(processor);
        emit convertHtmlToPdfError(handlerId);
    });
    if (!processor->convertHtmlToPdf(pdfFile, convertParams))
        release(processor);
}

void Bridge::convertHtmlToPdfBatch(const QString &handlerId, const QStringList &pdfFilePaths,
                                   const QStringList &convertParams, const QStringList &docsFrom,
                                   const QStringList &docsTo)
{
    qDebug().noquote() << QStringLiteral(
                                  "[Wkhtmltopdf::Bridge] Получен запрос на метод convertHtmlToPdfBatch. Id: %1 PDF: %2")
                                  .arg(handlerId)
                                  .arg(pdfFilePaths.size());
    auto *processor = new Processor(this);
    connect(processor, &Processor::convertHtmlToPdfError, this, [this, handlerId, processor] {
        release(processor);
        emit convertHtmlToPdfError(handlerId);
    });
    connect(processor, &Processor::convertHtmlToPdfUpdateCounter, this, [this, handlerId, processor](int queueCounter) {
        qDebug().noquote() << QStringLiteral("convertHtmlToPdfUpdateCounter") << queueCounter;
        if (queueCounter == 0)
            release(processor);
        emit convertHtmlToPdfUpdateCounter(handlerId, queueCounter);
    });
    if (!processor->convertHtmlToPdfBatch(pdfFilePaths, convertParams, docsFrom, docsTo))
        release(processor);
}

void Bridge::release(Processor *processor)
{
    // The call is answered for good: nothing more reaches the page from it.
    processor->disconnect(this);
    processor->deleteLater();
}

QString Bridge::getStorePdfDir(const QString &prefix)
{
    const QDir storeDir = AppEnv::getStoreDir();
    // The prefix is taken as a pattern of its own, as the page gives it.
    const QRegularExpression numbered(QStringLiteral("(^") + prefix + QStringLiteral(") (\\d+$)"));
    qlonglong highest = 0;
    for (const QString &name : storeDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = numbered.match(name);
        if (match.hasMatch())
            highest = qMax(highest, match.captured(2).toLongLong());
    }
    return storeDir.absoluteFilePath(QStringLiteral("%1 %2").arg(prefix, QString::number(highest + 1)));
}

} // namespace Wkhtmltopdf
