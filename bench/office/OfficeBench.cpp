// Documents per minute of generateFromTemplate through the office engine
// (a 2-page .doc template, 20 variables, a 10-row table) from page script,
// side by side with the DOCX engine filling the same content as .docx, and
// the cost of one automation call to the office, measured in the same run.
//
//   bench-office WORKDIR DOCUMENTS   (COVREL_BIN_DIR = the build's bin directory)
//   WORKDIR holds bench.doc, bench.docx and options.json.

#include "AutomationBackend.h"
#include "AutomationObject.h"
#include "AutomationPlugin.h"
#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QVector>

#include <algorithm>
#include <cstdio>

namespace {

const QString PLUGIN = QStringLiteral("plugins/libcovrel_automation_uno.so");

// Counts the automation calls the Word layer makes and the time they take.
class CountingBackend : public AutomationBackend
{
public:
    explicit CountingBackend(AutomationBackend *inner)
        : m_inner(inner)
    { }
    int calls = 0;
    double ms = 0;
    QHash<QString, double> msByMember;
    QHash<QString, int> callsByMember;

    template<class Work>
    auto timed(const QString &member, Work work)
    {
        QElapsedTimer timer;
        timer.start();
        auto result = work();
        const double spent = timer.nsecsElapsed() / 1e6;
        ms += spent;
        ++calls;
        msByMember[member] += spent;
        ++callsByMember[member];
        return result;
    }

    QString classIdFromProgId(const QString &progId) override { return m_inner->classIdFromProgId(progId); }
    Handle create(const QString &id, bool attach, AutomationError *error) override
    {
        return m_inner->create(id, attach, error);
    }
    Handle querySubObject(Handle object, const QString &signature, const QVariantList &args,
                          AutomationError *error) override
    {
        return timed(signature, [&] { return m_inner->querySubObject(object, signature, args, error); });
    }
    QVariant dynamicCall(Handle object, const QString &signature, const QVariantList &args,
                         AutomationError *error) override
    {
        return timed(signature, [&] { return m_inner->dynamicCall(object, signature, args, error); });
    }
    QVariant property(Handle object, const QString &name, AutomationError *error) override
    {
        return timed(name, [&] { return m_inner->property(object, name, error); });
    }
    bool setProperty(Handle object, const QString &name, const QVariant &value, AutomationError *error) override
    {
        return timed(name, [&] { return m_inner->setProperty(object, name, value, error); });
    }
    QString coClass(Handle object) override { return m_inner->coClass(object); }
    void release(Handle object) override { m_inner->release(object); }

private:
    AutomationBackend *m_inner;
};

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

// The cost of one call over the connection: a property read, repeated.
double perCallMicroseconds()
{
    AutomationObject word(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    AutomationObject *documents = word.querySubObject("Documents");
    const int calls = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        documents->property("Count");
    return timer.nsecsElapsed() / 1e3 / calls;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        qFatal("usage: bench-office WORKDIR DOCUMENTS");
    const QString workDir = QString::fromLocal8Bit(argv[1]);
    const int documents = QString::fromLocal8Bit(argv[2]).toInt();
    Bench bench(workDir);

    CountingBackend counting(AutomationPlugin::backend());
    AutomationPlugin::install(&counting);
    if (!counting.classIdFromProgId(QStringLiteral("Word.Application")).size() || !bench.officeAvailable())
        qFatal("no office automation: build the plugin (libreoffice-dev) and install libreoffice-writer-nogui");
    // version() above started the shared office and quit it again: the first
    // document starts both offices as a user's first click would.
    const double coldMs = bench.generate(QStringLiteral("templates/bench.doc"));
    counting.calls = 0;
    counting.ms = 0;
    counting.msByMember.clear();
    counting.callsByMember.clear();
    bench.generate(QStringLiteral("templates/bench.doc"));
    const int callsPerDocument = counting.calls;
    const double callMsPerDocument = counting.ms;
    const QHash<QString, double> byMember = counting.msByMember;
    const QHash<QString, int> callsByMember = counting.callsByMember;

    QVector<double> office, docx;
    for (int i = 0; i < documents; ++i) {
        office.append(bench.generate(QStringLiteral("templates/bench.doc")));
        docx.append(bench.generate(QStringLiteral("templates/bench.docx")));
    }
    const double officeMs = median(office);
    const double docxMs = median(docx);
    print("office engine, cold (first document, offices not running)", coldMs, "ms");
    print("office engine, warm (median per document)", officeMs, "ms");
    print("office engine, warm", 60000.0 / officeMs, "documents/min");
    print("DOCX engine, same content (median per document)", docxMs, "ms");
    print("DOCX engine, same content", 60000.0 / docxMs, "documents/min");
    print("office engine time / DOCX engine time (warm)", officeMs / docxMs, "x");
    print("automation calls per document", callsPerDocument, "calls");
    print("time inside automation calls per document", callMsPerDocument, "ms");
    print("automation call, mean inside a document", callMsPerDocument * 1000.0 / callsPerDocument, "us");
    print("automation call, property read repeated", perCallMicroseconds(), "us");
    QStringList members = byMember.keys();
    std::sort(members.begin(), members.end(),
              [&](const QString &a, const QString &b) { return byMember[a] > byMember[b]; });
    for (const QString &member : members.mid(0, 6)) {
        const QByteArray name = QStringLiteral("time per document in %1 (%2 calls)")
                                        .arg(member)
                                        .arg(callsByMember.value(member))
                                        .toUtf8();
        print(name.constData(), byMember.value(member), "ms");
    }
    AutomationPlugin::install(nullptr);
    // End the shared office the bench attached to.
    AutomationObject shared(AutomationObject::classIdFromProgId(QStringLiteral("Word.Application")) + QLatin1Char('&'));
    shared.dynamicCall("Quit()");
    return 0;
}
