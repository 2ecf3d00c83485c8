// PDFs per minute through wkhtmltopdfBridge from page script: a batch of N
// through the one long-running converter, side by side in the same run with N
// single conversions one after another (one converter start each).
//
//   bench-pdf [pdfs]     (COVREL_BIN_DIR = the build's bin directory)

#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>

namespace {

const int TIMEOUT_MS = 600000; // a safety net only

QString converter()
{
    return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/wkhtmltopdf/wkhtmltopdf");
}

void preparePage(PageHarness &page)
{
    const QString content = qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/content/");
    for (const QString &name :
         {QStringLiteral("pdf.html"), QStringLiteral("pdf_header.html"), QStringLiteral("pdf_footer.html")}) {
        QFile file(content + name);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("the build has no content/%s", qPrintable(name));
        page.writeContentFile(name, file.readAll());
    }
    QDir().mkpath(page.path(QStringLiteral("integrations/wkhtmltopdf")));
    QFile::link(converter(), page.path(QStringLiteral("integrations/wkhtmltopdf/wkhtmltopdf")));
    if (!page.open())
        qFatal("the page did not load");
    page.record(QStringLiteral("__covrelBridge.wkhtmltopdfBridge"),
                {QStringLiteral("convertHtmlToPdfFinished"), QStringLiteral("convertHtmlToPdfError"),
                 QStringLiteral("convertHtmlToPdfUpdateCounter")});
}

QString script(int i) { return QStringLiteral("showRecord({number: 'N-%1', name: 'Запись %1'})").arg(i); }

void checkPdfs(const QString &dir, int pdfs)
{
    for (int i = 0; i < pdfs; ++i) {
        if (QFileInfo(dir + QStringLiteral("/%1.pdf").arg(i)).size() == 0)
            qFatal("%s/%d.pdf was not written", qPrintable(dir), i);
    }
}

double batchSeconds(PageHarness &page, int pdfs)
{
    const QString dir = page.path(QStringLiteral("store/batch"));
    QStringList paths;
    QStringList scripts;
    for (int i = 0; i < pdfs; ++i) {
        paths << QStringLiteral("'%1/%2.pdf'").arg(dir).arg(i);
        scripts << QStringLiteral("\"%1\"").arg(script(i));
    }
    page.clearReceived();
    QElapsedTimer timer;
    timer.start();
    page.eval(QStringLiteral("__covrelBridge.wkhtmltopdfBridge.convertHtmlToPdfBatch('b', [%1], [%2])")
                      .arg(paths.join(QLatin1Char(',')), scripts.join(QLatin1Char(','))));
    if (!page.waitFor(QStringLiteral("convertHtmlToPdfUpdateCounter"), pdfs, TIMEOUT_MS)
        || !page.received(QStringLiteral("convertHtmlToPdfError")).isEmpty())
        qFatal("the batch did not complete");
    const double seconds = timer.nsecsElapsed() / 1e9;
    checkPdfs(dir, pdfs);
    return seconds;
}

double singlesSeconds(PageHarness &page, int pdfs)
{
    const QString dir = page.path(QStringLiteral("store/single"));
    page.clearReceived();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < pdfs; ++i) {
        page.eval(QStringLiteral("__covrelBridge.wkhtmltopdfBridge.convertHtmlToPdf('s%1', '%2/%1.pdf', "
                                 "['--run-script', \"%3\"])")
                          .arg(i)
                          .arg(dir, script(i)));
        if (!page.waitFor(QStringLiteral("convertHtmlToPdfFinished"), i + 1, TIMEOUT_MS))
            qFatal("single conversion %d did not finish", i);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    checkPdfs(dir, pdfs);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int pdfs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    if (!QFileInfo::exists(converter()))
        qFatal("no converter at %s (Debian package wkhtmltopdf)", qPrintable(converter()));

    PageHarness page;
    preparePage(page);
    const double batch = batchSeconds(page, pdfs);
    const double singles = singlesSeconds(page, pdfs);
    const double batchRate = pdfs * 60.0 / batch;
    const double singleRate = pdfs * 60.0 / singles;
    std::printf("batch of %d through one converter (PDFs per minute): %.1f\n", pdfs, batchRate);
    std::printf("%d single conversions one after another (PDFs per minute): %.1f\n", pdfs, singleRate);
    std::printf("ratio batch / single: %.2f\n", batchRate / singleRate);
    std::printf("wall time batch / singles (s): %.1f / %.1f\n", batch, singles);
    return 0;
}
