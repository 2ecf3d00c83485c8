#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace Wkhtmltopdf {

class Processor;

// The page's entry to PDF conversion, published as
// __covrelBridge.wkhtmltopdfBridge. Each conversion call gets a processor of
// its own; its answers carry the caller's handlerId.
class Bridge : public QObject
{
    Q_OBJECT
public:
    explicit Bridge(QObject *parent = nullptr);

    Q_INVOKABLE bool isAvailable();
    // Empty when the converter file exists, otherwise "exe_file_not_exists".
    Q_INVOKABLE QString getAvailableErrorCode();

public slots:
    // One PDF from the print page; convertParams go first on the converter's
    // command line. Answers convertHtmlToPdfFinished or convertHtmlToPdfError;
    // nothing when no converter is available (ask isAvailable() first).
    void convertHtmlToPdf(const QString &handlerId, const QString &pdfFile,
                          const QStringList &convertParams = QStringList());
    // One PDF per path through one long-running converter, convertParams[i]
    // being the script run in the print page for path i; then docsFrom[j]
    // (a content data file) is copied to docsTo[j]. Progress comes as
    // convertHtmlToPdfUpdateCounter down to 0; a refused call or a converter
    // lost on the way answers convertHtmlToPdfError once.
    void convertHtmlToPdfBatch(const QString &handlerId, const QStringList &pdfFilePaths = QStringList(),
                               const QStringList &convertParams = QStringList(),
                               const QStringList &docsFrom = QStringList(), const QStringList &docsTo = QStringList());
    // The store path "<prefix> <n>" with n one above the highest already there.
    QString getStorePdfDir(const QString &prefix);

signals:
    void convertHtmlToPdfFinished(const QString &handlerId);
    void convertHtmlToPdfError(const QString &handlerId);
    void convertHtmlToPdfUpdateCounter(const QString &handlerId, int queueCounter);

private:
    void release(Processor *processor);
};

} // namespace Wkhtmltopdf
