// Time per document of generateFromTemplate (DOCX engine) from page script,
// side by side with the floor this design sets (the bare 7-Zip unpack and
// repack of the same template, started from the same process) and with
// docxtemplater filling an equivalent template in node. The three take turns
// document by document, so load on the machine hits them alike; medians.
//
//   bench-docx WORKDIR DOCUMENTS DOCXTEMPLATER_SCRIPT   (COVREL_BIN_DIR = the build's bin directory)
//   WORKDIR holds template.docx, template-tags.docx and values.json from make_templates.py.

#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const int WARM_UP = 10;

QString sevenZip() { return qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z"); }

bool run7Zip(const QStringList &arguments)
{
    QProcess process;
    process.start(sevenZip(), arguments);
    process.closeWriteChannel();
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

// The two 7-Zip runs the design makes per document, with the same command lines.
void unpackAndRepack(const QString &templatePath, const QString &workDir)
{
    const QString dir = workDir + QStringLiteral("/unpacked");
    const QString out = workDir + QStringLiteral("/repacked.docx");
    QDir(dir).removeRecursively();
    QFile::remove(out);
    if (!run7Zip({QStringLiteral("x"), templatePath, QStringLiteral("-o") + dir, QStringLiteral("-r")})
        || !run7Zip({QStringLiteral("a"), QStringLiteral("-r"), out, dir + QStringLiteral("/*")}))
        qFatal("7-Zip failed on the template");
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double elapsedMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

struct Figures
{
    double pageMs = 0;
    double floorMs = 0;
    double baselineMs = 0;
};

// The docxtemplater baseline: a node process that fills one document per request line.
class Baseline
{
public:
    Baseline(const QString &script, const QString &workDir)
    {
        // Single-threaded, so its garbage collection neither runs beside the other
        // two measurements nor escapes its own.
        m_node.start(QStringLiteral("node"), {QStringLiteral("--single-threaded"), script, workDir});
        if (!m_node.waitForStarted(30000))
            qFatal("node cannot be started");
    }
    ~Baseline()
    {
        m_node.closeWriteChannel();
        m_node.waitForFinished(30000);
    }
    double fillOnceMs()
    {
        m_node.write("fill\n");
        while (!m_node.canReadLine()) {
            if (!m_node.waitForReadyRead(30000))
                qFatal("docxtemplater did not answer: %s", m_node.readAllStandardError().constData());
        }
        return m_node.readLine().trimmed().toDouble();
    }

private:
    QProcess m_node;
};

// One document through the page and one bare unpack+repack in turn, so load on
// the machine hits both alike; medians per document.
Figures measure(const QString &templatePath, const QByteArray &valuesJson, int documents, Baseline &baseline)
{
    PageHarness page;
    QDir().mkpath(page.path(QStringLiteral("integrations/7zip")));
    QFile::link(sevenZip(), page.path(QStringLiteral("integrations/7zip/7z")));
    QDir().mkpath(page.path(QStringLiteral("content/data/templates")));
    QFile::copy(templatePath, page.path(QStringLiteral("content/data/templates/bench.docx")));
    if (!page.open())
        qFatal("the page did not load");
    page.eval(QStringLiteral("window.benchValues = %1;"
                             "window.benchDone = 0;"
                             "__covrelBridge.officeBridge.docxTemplateFinished.connect(function () { benchDone++; });")
                      .arg(QString::fromUtf8(valuesJson)));
    const QString generate = QStringLiteral(
            "__covrelBridge.officeBridge.generateFromTemplate('d', 'templates/bench.docx',"
            "  {fields: benchValues.fields, clearTablesWithKeys: benchValues.clearTablesWithKeys}, 'bench-out');"
            "benchDone");
    QTemporaryDir work;
    QVector<double> pageTimes;
    QVector<double> floorTimes;
    QVector<double> baselineTimes;
    int done = 0;
    for (int i = 0; i < WARM_UP + documents; ++i) {
        const double pageMs = elapsedMs([&] { done = page.eval(generate).toInt(); });
        const double floorMs = elapsedMs([&] { unpackAndRepack(templatePath, work.path()); });
        const double baselineMs = baseline.fillOnceMs();
        if (i < WARM_UP)
            continue;
        pageTimes.append(pageMs);
        floorTimes.append(floorMs);
        baselineTimes.append(baselineMs);
    }
    if (done != WARM_UP + documents)
        qFatal("generateFromTemplate did not finish every document");
    return {median(pageTimes), median(floorTimes), median(baselineTimes)};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 4)
        qFatal("usage: bench-docx WORKDIR DOCUMENTS DOCXTEMPLATER_SCRIPT");
    const QString workDir = QString::fromLocal8Bit(argv[1]);
    const int documents = QString::fromLocal8Bit(argv[2]).toInt();
    Baseline baseline(QString::fromLocal8Bit(argv[3]), workDir);
    const QString templatePath = workDir + QStringLiteral("/template.docx");
    QFile valuesFile(workDir + QStringLiteral("/values.json"));
    if (!valuesFile.open(QIODevice::ReadOnly))
        qFatal("values.json is missing");
    const QByteArray values = valuesFile.readAll();

    const Figures figures = measure(templatePath, values, documents, baseline);
    std::printf("generateFromTemplate per document (ms): %.2f\n", figures.pageMs);
    std::printf("7-Zip unpack+repack floor per document (ms): %.2f\n", figures.floorMs);
    std::printf("docxtemplater per document (ms): %.2f\n", figures.baselineMs);
    std::printf("ratio generateFromTemplate / 7-Zip floor: %.2f (goal: at most 1.20)\n",
                figures.pageMs / figures.floorMs);
    std::printf("ratio generateFromTemplate / docxtemplater: %.2f\n", figures.pageMs / figures.baselineMs);
    return 0;
}
