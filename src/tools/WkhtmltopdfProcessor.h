#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

namespace Wkhtmltopdf {

class ProcessWkhtmltopdf;

// Finds the converter, builds its command lines from the application's print
// page (pdf.html with pdf_header.html and pdf_footer.html) and runs single and
// batch conversions. The converter runs it creates are its children.
class Processor : public QObject
{
    Q_OBJECT
public:
    explicit Processor(QObject *parent = nullptr);

    QString getPathToWkhtmltopdfExe() const;
    // True for any configured converter path, even a wrong one; otherwise
    // only when the laid-out converter exists.
    bool isAvailable() const;
    // "" when a converter file exists, otherwise "exe_file_not_exists".
    QString getAvailableErrorCode() const;

    // Answers convertHtmlToPdfFinished once the converter ended and the PDF
    // was written by this call; convertHtmlToPdfError when it crashed, could
    // not start, overran its time or wrote no PDF. False when no converter
    // is available (nothing is emitted then).
    bool convertHtmlToPdf(const QString &pdfFile, const QStringList &convertParams);
    // One PDF per path, entry i of convertParams being the script run in the
    // print page for path i; then the data documents are copied. Lists
    // shorter than the ones they pair with are refused with an error.
    bool convertHtmlToPdfBatch(const QStringList &pdfFilePaths, const QStringList &convertParams,
                               const QStringList &docsFrom, const QStringList &docsTo);

    // The converter runs created so far (tests watch them).
    QList<ProcessWkhtmltopdf *> runs() const;

signals:
    void convertHtmlToPdfFinished();
    void convertHtmlToPdfError();
    void convertHtmlToPdfUpdateCounter(int queueCounter);

private:
    enum class Use { Batch, Single };
    static QString printPageAddress(const QString &fileName, Use use);
    static QString nativePath(const QString &path);
    static void makeDirFor(const QString &filePath, const QString &message);
    void answerSingleRun(const ProcessWkhtmltopdf *run, const QString &pdfPath, const QDateTime &earlierPdf,
                         int exitCode);
    bool refuseBatch(const QStringList &pdfFilePaths, const QStringList &convertParams, const QStringList &docsFrom,
                     const QStringList &docsTo);
    void queueConversion(ProcessWkhtmltopdf *run, const QString &pdfFilePath, const QString &script,
                         const QString &bodyAddress);
    void copyDataDocument(const QString &from, const QString &to);
};

} // namespace Wkhtmltopdf
