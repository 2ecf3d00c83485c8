#include "ZipBridge.h"

#include "ZipProcessor.h"

#include <QDebug>

namespace Zip {

Bridge::Bridge(QObject *parent)
    : QObject(parent)
{ }

bool Bridge::isAvailable() { return Processor().isAvailable(); }

QString Bridge::getAvailableErrorCode() { return Processor().getAvailableErrorCode(); }

void Bridge::zipDir(const QString &handlerId, const QString &zipDir, const QString &zipFile, const QString &prefix)
{
    qDebug().noquote() << QStringLiteral(
                                  "[Zip::Bridge] Получен запрос на метод zipDir. Id: %1 dir: %2 zip: %3 prefix: %4")
                                  .arg(handlerId, zipDir, zipFile, prefix);
    auto *processor = new Processor(this);
    // The job's objects go once it has answered.
    connect(processor, &Processor::zipDirFinished, this,
            [this, handlerId, processor](const QString &dir, const QString &zip, const QString &pre) {
                emit zipDirFinished(handlerId, dir, zip, pre);
                processor->deleteLater();
            });
    connect(processor, &Processor::zipDirError, this,
            [this, handlerId, processor](const QString &dir, const QString &zip, const QString &pre) {
                emit zipDirError(handlerId, dir, zip, pre);
                processor->deleteLater();
            });
    if (!processor->zipDir(zipDir, zipFile, prefix))
        processor->deleteLater();
}

} // namespace Zip
