// Registry requests per second and the first request's time, through
// talqDorvBridge from page script, side by side with a bare client that
// writes the same request lines straight to the integration program.
//
//   bench-registry [requests]     (COVREL_BIN_DIR = the build's bin directory)

#include "AppEnv.h"
#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const int UNIT = 101;

struct Figures
{
    double firstMs = 0;
    double perSecond = 0;
};

QString binDir() { return qEnvironmentVariable("COVREL_BIN_DIR"); }
QString jarPath() { return binDir() + QStringLiteral("/integrations/talqdorv/talqdorv.jar"); }
QString sampleDir() { return binDir() + QStringLiteral("/integrations/talqdorv/sample-registry"); }

// Each client gets its own copy: the database admits one program at a time.
QString copySample(const QString &target)
{
    QDir().mkpath(target + QStringLiteral("/jre/bin"));
    QFile::copy(sampleDir() + QStringLiteral("/dorv.exe"), target + QStringLiteral("/dorv.exe"));
    QFile::copy(sampleDir() + QStringLiteral("/DB.mv.db"), target + QStringLiteral("/DB.mv.db"));
    QFile::link(QFileInfo(sampleDir() + QStringLiteral("/jre/bin/java")).symLinkTarget(),
                target + QStringLiteral("/jre/bin/java"));
    return target;
}

Figures throughThePage(const QString &home, int requests)
{
    PageHarness page;
    QDir().mkpath(page.path(QStringLiteral("integrations/talqdorv")));
    QFile::link(jarPath(), page.path(QStringLiteral("integrations/talqdorv/talqdorv.jar")));
    if (!page.open())
        qFatal("the page did not load");
    AppEnv::setTalqDorvHomeDirPath(home);
    const QString loop = QStringLiteral("(function (b, n) {"
                                        "  var got = 0;"
                                        "  function count(id, number, json) { if (json.length > 0) got++; }"
                                        "  b.getDorvInfoResult.connect(count);"
                                        "  for (var i = 0; i < n; i++) b.getDorvInfo('r' + i, %1);"
                                        "  b.getDorvInfoResult.disconnect(count);"
                                        "  return got;"
                                        "})(__covrelBridge.talqDorvBridge, %2)");
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    if (page.eval(loop.arg(UNIT).arg(1)).toInt() != 1)
        qFatal("the first request through the page was not answered");
    figures.firstMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    if (page.eval(loop.arg(UNIT).arg(requests)).toInt() != requests)
        qFatal("requests through the page were not all answered");
    figures.perSecond = requests / (timer.nsecsElapsed() / 1e9);
    page.eval(QStringLiteral("__covrelBridge.talqDorvBridge.stopProvider('end')"));
    return figures;
}

// Reads up to the next line beginning with `marker`; the program's other lines are skipped.
bool readLineStartingWith(QProcess &java, const QByteArray &marker)
{
    for (;;) {
        while (java.canReadLine()) {
            if (java.readLine().startsWith(marker))
                return true;
        }
        if (!java.waitForReadyRead(30000))
            return false;
    }
}

Figures bareClient(const QString &home, int requests)
{
    const QByteArray request = QByteArrayLiteral("Fetch dorv data: ") + QByteArray::number(UNIT) + '\n';
    QProcess java;
    Figures figures;
    QElapsedTimer timer;
    timer.start();
    java.start(home + QStringLiteral("/jre/bin/java"),
               {QStringLiteral("-Dfile.encoding=UTF-8"), QStringLiteral("-jar"), jarPath(), QStringLiteral("-db"),
                home + QStringLiteral("/DB")});
    if (!readLineStartingWith(java, "Please input a line"))
        qFatal("the integration program did not prompt");
    java.write(request);
    if (!readLineStartingWith(java, "OUTPUT"))
        qFatal("the integration program did not answer");
    figures.firstMs = timer.nsecsElapsed() / 1e6;
    timer.restart();
    for (int i = 0; i < requests; ++i) {
        java.write(request);
        if (!readLineStartingWith(java, "OUTPUT"))
            qFatal("the integration program did not answer");
    }
    figures.perSecond = requests / (timer.nsecsElapsed() / 1e9);
    java.closeWriteChannel();
    java.waitForFinished(30000);
    return figures;
}

void print(const char *name, double value) { std::printf("%s: %.2f\n", name, value); }

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int requests = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    QTemporaryDir dir;
    const Figures bare = bareClient(copySample(dir.filePath(QStringLiteral("bare"))), requests);
    const Figures page = throughThePage(copySample(dir.filePath(QStringLiteral("page"))), requests);
    std::printf("requests after the first: %d (unit %d, getDorvInfo)\n", requests, UNIT);
    print("first request through the page, program start included (ms)", page.firstMs);
    print("first request by the bare client, program start included (ms)", bare.firstMs);
    print("first request ratio page/bare", page.firstMs / bare.firstMs);
    print("requests per second through the page", page.perSecond);
    print("requests per second by the bare client", bare.perSecond);
    print("requests per second ratio page/bare", page.perSecond / bare.perSecond);
    return 0;
}
