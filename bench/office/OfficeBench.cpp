// Documents per minute of generateFromTemplate through the office engine
// (a 2-page .doc template, 20 variables, a 10-row table) from page script,
// side by side with the DOCX engine filling the same content as .docx, and
// the cost of one automation call to the office; beside them the same
// document job and the same property reads done natively by python3-uno in
// the very office processes the bench used, all in the same run.
//
//   bench-office WORKDIR DOCUMENTS   (COVREL_BIN_DIR = the build's bin directory)
//   WORKDIR holds bench.doc, bench.docx and options.json.

#include "AutomationBackend.h"
#include "AutomationObject.h"
#include "AutomationPlugin.h"
#include "CountingBackend.h"
#include "OfficeProcesses.h"
#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QUrl>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

const QString PLUGIN = QStringLiteral("plugins/libcovrel_automation_uno.so");
const QString PYTHON = QStringLiteral("/usr/bin/python3");
const int READS = 300;
const int READ_ROUNDS = 11;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

class Bench
{
public:
    Bench(const QString &workDir)
    {
        QDir().mkpath(m_page.path(QStringLiteral("plugins")));
        QFile::link(qEnvironmentVariable("COVREL_BIN_DIR") + QLatin1Char('/') + PLUGIN, m_page.path(PLUGIN));
        QDir().mkpath(m_page.path(QStringLiteral("integrations/7zip")));
        QFile::link(qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/integrations/7zip/7z"),
                    m_page.path(QStringLiteral("integrations/7zip/7z")));
        QDir().mkpath(m_page.path(QStringLiteral("content/data/templates")));
        for (const QString &name : {QStringLiteral("bench.doc"), QStringLiteral("bench.docx")})
            QFile::copy(workDir + QLatin1Char('/') + name,
                        m_page.path(QStringLiteral("content/data/templates/") + name));
        QFile options(workDir + QStringLiteral("/options.json"));
        options.open(QIODevice::ReadOnly);
        m_options = QString::fromUtf8(options.readAll());
        if (!m_page.open())
            qFatal("the page did not load");
        m_page.record(QStringLiteral("__covrelBridge.officeBridge"), {QStringLiteral("generateFromTemplateFinished")});
    }

    // One document from page script; milliseconds until its finished signal.
    double generate(const QString &templateName)
    {
        m_page.clearReceived();
        const QString script =
                QStringLiteral("__covrelBridge.officeBridge.generateFromTemplate('b', '%1', %2, 'out/r%3')")
                        .arg(templateName, m_options)
                        .arg(++m_count);
        QElapsedTimer timer;
        timer.start();
        m_page.eval(script);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (m_page.received(QStringLiteral("generateFromTemplateFinished")).size() != 1)
            qFatal("no result for %s", qPrintable(templateName));
        return ms;
    }

    bool officeAvailable()
    {
        return m_page.eval(QStringLiteral("__covrelBridge.officeBridge.version()")).toString().size() > 0;
    }

private:
    PageHarness m_page;
    QString m_options;
    int m_count = 0;
};

double microsecondsPerRead(AutomationObject *object, const char *name)
{
    object->property(name);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < READS; ++i)
        object->property(name);
    return timer.nsecsElapsed() / 1e3 / READS;
}

// The cost of one call over the connection: property reads on the shared
// office, repeated: Documents.Count (the open text documents, counted) and a
// document's FullName (one question to the office natively).
QPair<double, double> ourReads(const QString &document)
{
    AutomationObject word(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    AutomationObject *documents = word.querySubObject("Documents");
    QList<QVariant> open{document, false, true, false};
    AutomationObject *opened = documents->querySubObject("Open(QVariant,QVariant,QVariant,QVariant)", open);
    if (!opened)
        qFatal("the bench document did not open");
    const double count = microsecondsPerRead(documents, "Count");
    const double fullName = microsecondsPerRead(opened, "FullName");
    opened->dynamicCall("Close()");
    return {count, fullName};
}

// The shared office: the one whose profile lies in the bench's own cache.
OfficeProcesses::Office sharedOffice()
{
    const QString cache = QUrl::fromLocalFile(qEnvironmentVariable("XDG_CACHE_HOME")).toString(QUrl::FullyEncoded);
    for (const OfficeProcesses::Office &office : OfficeProcesses::all()) {
        if (office.profileUrl.startsWith(cache))
            return office;
    }
    return {};
}

// CPU time a process has used, in milliseconds.
double cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(stat.readAll());
    const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    // utime and stime, fields 14 and 15 of the line (12 and 13 after the name).
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / sysconf(_SC_CLK_TCK);
}

double ownCpuMs()
{
    timespec spent{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent);
    return spent.tv_sec * 1000.0 + spent.tv_nsec / 1e6;
}

// Runs a python3-uno script of bench/office; its "name value" lines by name.
QHash<QString, double> python(const QString &script, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(PYTHON, QStringList{QStringLiteral(COVREL_BENCH_OFFICE_DIR "/") + script} + arguments);
    process.waitForFinished(-1);
    QHash<QString, double> figures;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const int space = line.lastIndexOf(QLatin1Char(' '));
        if (space > 0)
            figures.insert(line.left(space), line.mid(space + 1).toDouble());
    }
    return figures;
}

bool pythonUnoInstalled()
{
    return QProcess::execute(PYTHON, {QStringLiteral("-c"), QStringLiteral("import uno")}) == 0;
}

void printRatio(const char *name, double ours, double native)
{
    if (native > 0)
        print(name, ours / native, "x");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        qFatal("usage: bench-office WORKDIR DOCUMENTS");
    const QString workDir = QString::fromLocal8Bit(argv[1]);
    const int documents = std::max(1, QString::fromLocal8Bit(argv[2]).toInt());
    Bench bench(workDir);

    CountingBackend counting(AutomationPlugin::backend());
    AutomationPlugin::install(&counting);
    if (!counting.classIdFromProgId(QStringLiteral("Word.Application")).size() || !bench.officeAvailable())
        qFatal("no office automation: build the plugin (libreoffice-dev) and install libreoffice-writer-nogui");
    // version() above started the shared office; the first document starts
    // the private one, as a user's first click would.
    const double firstMs = bench.generate(QStringLiteral("templates/bench.doc"));
    const OfficeProcesses::Office privateOffice =
            OfficeProcesses::startedBy(QCoreApplication::applicationPid()).value(0);
    const bool native = pythonUnoInstalled();
    const QString templatePath = workDir + QStringLiteral("/bench.doc");
    QDir(workDir).mkpath(QStringLiteral("native"));
    counting.calls = 0;
    counting.ms = 0;
    counting.msByMember.clear();
    counting.callsByMember.clear();
    // Our documents alternate with python3-uno's in the same private office
    // (idle in the pool between ours), so both meet the same machine load.
    QVector<double> office, docx, nativeJob;
    double ownCpu = 0;
    double officeCpu = 0;
    for (int i = 0; i < documents; ++i) {
        const double ownBefore = ownCpuMs();
        const double officeBefore = cpuMs(privateOffice.pid);
        office.append(bench.generate(QStringLiteral("templates/bench.doc")));
        ownCpu += ownCpuMs() - ownBefore;
        officeCpu += cpuMs(privateOffice.pid) - officeBefore;
        // An office that ends with its Word leaves none to run the job in.
        const bool parked = privateOffice.pid
                && OfficeProcesses::startedBy(QCoreApplication::applicationPid()).value(0).pid == privateOffice.pid;
        if (native && parked)
            nativeJob.append(python(QStringLiteral("native_document_job.py"),
                                    {privateOffice.pipe, templatePath, workDir + QStringLiteral("/options.json"),
                                     workDir + QStringLiteral("/native"), QStringLiteral("1")})
                                     .value(QStringLiteral("python3-uno document job, median per document")));
    }
    ownCpu /= documents;
    officeCpu /= documents;
    const double callsPerDocument = double(counting.calls) / documents;
    const double callMsPerDocument = counting.ms / documents;
    for (int i = 0; i < documents; ++i)
        docx.append(bench.generate(QStringLiteral("templates/bench.docx")));
    const double officeMs = median(office);
    const double docxMs = median(docx);
    AutomationPlugin::install(nullptr);

    QHash<QString, double> nativeFigures;
    if (!nativeJob.isEmpty())
        nativeFigures.insert(QStringLiteral("python3-uno document job, median per document"), median(nativeJob));
    else if (native)
        std::printf("no private office left running after a document: native document job skipped\n");
    // Reads alternate between us and python3-uno, and the best round of each
    // counts: the machine's other work only ever adds to a round.
    QPair<double, double> reads{1e12, 1e12};
    for (int round = 0; round < READ_ROUNDS; ++round) {
        const QPair<double, double> ours = ourReads(templatePath);
        const QString sharedPipe = sharedOffice().pipe;
        reads = {std::min(reads.first, ours.first), std::min(reads.second, ours.second)};
        if (!native)
            continue;
        const QHash<QString, double> figures =
                python(QStringLiteral("native_property_read.py"), {sharedPipe, templatePath, QString::number(READS)});
        for (auto it = figures.cbegin(); it != figures.cend(); ++it)
            nativeFigures.insert(it.key(), round == 0 ? it.value() : std::min(it.value(), nativeFigures[it.key()]));
    }

    print("office engine, first document (private office started)", firstMs, "ms");
    print("office engine, warm (median per document)", officeMs, "ms");
    print("office engine, warm", 60000.0 / officeMs, "documents/min");
    print("DOCX engine, same content (median per document)", docxMs, "ms");
    print("DOCX engine, same content", 60000.0 / docxMs, "documents/min");
    print("office engine time / DOCX engine time (warm)", officeMs / docxMs, "x");
    print("automation calls per document", callsPerDocument, "calls");
    print("time inside automation calls per document", callMsPerDocument, "ms");
    print("automation call, mean inside a document", callMsPerDocument * 1000.0 / callsPerDocument, "us");
    print("CPU of this process per warm document (page, bridge, Word layer, plugin, UNO)", ownCpu, "ms");
    print("CPU of the private office per warm document", officeCpu, "ms");
    print("automation call, property read repeated (Documents.Count)", reads.first, "us");
    print("automation call, property read repeated (Document.FullName)", reads.second, "us");
    const auto nativeFigure = [&](const char *name, const char *unit) {
        const double value = nativeFigures.value(QString::fromLatin1(name));
        print(name, value, unit);
        return value;
    };
    if (nativeFigures.contains(QStringLiteral("python3-uno document job, median per document"))) {
        const double job = nativeFigure("python3-uno document job, median per document", "ms");
        printRatio("office engine warm / python3-uno document job", officeMs, job);
    }
    if (nativeFigures.contains(QStringLiteral("python3-uno text documents counted, per read"))) {
        const double count = nativeFigure("python3-uno text documents counted, per read", "us");
        printRatio("Documents.Count / python3-uno count", reads.first, count);
        const double url = nativeFigure("python3-uno document URL read, per read", "us");
        printRatio("Document.FullName / python3-uno URL read", reads.second, url);
    }
    if (!native)
        std::printf("python3-uno not installed (Debian's python3-uno): native comparison skipped\n");
    QStringList members = counting.msByMember.keys();
    std::sort(members.begin(), members.end(),
              [&](const QString &a, const QString &b) { return counting.msByMember[a] > counting.msByMember[b]; });
    for (const QString &member : members.mid(0, 8)) {
        const QByteArray name = QStringLiteral("time per document in %1 (%2 calls)")
                                        .arg(member)
                                        .arg(counting.callsByMember.value(member) / documents)
                                        .toUtf8();
        print(name.constData(), counting.msByMember.value(member) / documents, "ms");
    }
    // End the shared office the bench attached to.
    AutomationObject shared(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    shared.dynamicCall("Quit()");
    return 0;
}
