// Cells per second of s_setCellValues and s_getCellRangeValue over 1000
// cells from page script, and the time from opening a 1 MB workbook to its
// first value; beside them the same cell-by-cell work and the same open done
// natively by python3-uno in the very office the page used, in the same run.
// Per cell: the automation calls the spreadsheet layer made, and the
// messages the office sent back over its connection (counted with strace in
// a pass of their own, as tracing slows the office), ours and python3-uno's.
//
//   bench-sheet WORKDIR ROUNDS   (COVREL_BIN_DIR = the build's bin directory)
//   WORKDIR holds cells.xlsx (A1:J100 of numbers) and large.xlsx.

#include "AutomationPlugin.h"
#include "CountingBackend.h"
#include "OfficeProcesses.h"
#include "PageHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>

namespace {

const QString PLUGIN = QStringLiteral("plugins/libcovrel_automation_uno.so");
const QString PYTHON = QStringLiteral("/usr/bin/python3");
const int ROWS = 100; // of ten cells: A1:J100
const int CELLS = ROWS * 10;

const char *const SETUP = R"(
window.sheet = __covrelBridge.spreedSheetBridge;
window.books = {};
sheet.openFileOpened.connect(function (h, path, id, workbook) { books[id] = workbook; });
window.cellMap = function (round) {
    var map = {};
    for (var row = 1; row <= 100; ++row)
        for (var col = 0; col < 10; ++col)
            map['ABCDEFGHIJ'[col] + row] = row * 10 + col + round;
    return map;
};
window.firstValue = function (id) {
    var value;
    var ws = books[id].getWorksheet(0);
    ws.s_getCellsValueResult.connect(function (h, cells, values) { value = values.B1; });
    ws.s_getCellsValue('h', ['B1']);
    return value;
};
)";

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The messages an office sends while it is watched: strace counts its send
// system calls (each answer to a call is one or more).
class OfficeSends
{
public:
    explicit OfficeSends(qint64 pid)
        : m_file(QDir::temp().filePath(QStringLiteral("bench-sheet-strace-%1").arg(QCoreApplication::applicationPid())))
    {
        m_strace.setReadChannel(QProcess::StandardError);
        m_strace.start(QStringLiteral("strace"),
                       {QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-e"),
                        QStringLiteral("trace=sendto,sendmsg,write,writev"), QStringLiteral("-o"), m_file,
                        QStringLiteral("-p"), QString::number(pid)});
        // Watching starts once the office is attached ("attached with N threads").
        while (!m_said.contains("attached") && m_strace.waitForReadyRead(10000))
            m_said += m_strace.readAllStandardError();
        m_watching = m_said.contains("attached");
    }
    // The sends seen; -1 when strace could not watch.
    qint64 stop()
    {
        ::kill(static_cast<pid_t>(m_strace.processId()), SIGINT);
        m_strace.waitForFinished(30000);
        QFile summary(m_file);
        if (!m_watching || !summary.open(QIODevice::ReadOnly)) {
            qWarning("bench-sheet: strace did not watch the office: %s", m_said.constData());
            return -1;
        }
        qint64 sends = 0;
        for (const QByteArray &line : summary.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 5 && fields.last() != "total" && fields.first() != "%")
                sends += fields.at(3).toLongLong();
        }
        summary.remove();
        return sends;
    }

private:
    QString m_file;
    QProcess m_strace;
    QByteArray m_said;
    bool m_watching = false;
};

// Runs native_cells.py: its "name value" lines by name, and what the office
// sent while it wrote the cells once and read them once (-1 without strace).
QHash<QString, double> python(const QStringList &arguments, qint64 office)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(PYTHON, QStringList{QStringLiteral(COVREL_BENCH_SHEET_DIR "/native_cells.py")} + arguments);
    QHash<QString, double> figures;
    const auto readLine = [&] {
        while (!process.canReadLine() && process.waitForReadyRead(-1)) { }
        return QString::fromUtf8(process.readLine()).trimmed();
    };
    for (int figure = 0; figure < 3; ++figure) {
        const QString line = readLine();
        const int space = line.lastIndexOf(QLatin1Char(' '));
        if (space > 0)
            figures.insert(line.left(space), line.mid(space + 1).toDouble());
    }
    for (const QString &phase : {QStringLiteral("set"), QStringLiteral("get")}) {
        OfficeSends sends(office);
        process.write("go\n");
        readLine();
        figures.insert(QStringLiteral("python3-uno office sends per cell ") + phase, double(sends.stop()) / CELLS);
    }
    process.waitForFinished(-1);
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3)
        qFatal("usage: bench-sheet WORKDIR ROUNDS");
    const QDir work(QString::fromLocal8Bit(argv[1]));
    const int rounds = std::max(1, QString::fromLocal8Bit(argv[2]).toInt());
    PageHarness page;
    QDir().mkpath(page.path(QStringLiteral("plugins")));
    QFile::link(qEnvironmentVariable("COVREL_BIN_DIR") + QLatin1Char('/') + PLUGIN, page.path(PLUGIN));
    CountingBackend counting(AutomationPlugin::backend());
    AutomationPlugin::install(&counting);
    if (!page.open())
        qFatal("the page did not load");
    page.eval(QString::fromUtf8(SETUP));
    const auto open = [&](const QString &name, const QString &id) {
        return page
                .eval(QStringLiteral("sheet.openFile('o', '%1', false, '%2'); !!books['%2']")
                              .arg(work.absoluteFilePath(name), id))
                .toBool();
    };
    // The first open starts the office, as a user's first click would.
    if (!open(QStringLiteral("cells.xlsx"), QStringLiteral("C")))
        qFatal("no office automation: build the plugin (libreoffice-dev) and install libreoffice-calc-nogui");
    const OfficeProcesses::Office office = OfficeProcesses::startedBy(QCoreApplication::applicationPid()).value(0);
    page.eval(QStringLiteral("window.ws = books.C.getWorksheet(0); window.got = null;"
                             "ws.s_getCellRangeValueResult.connect(function (h, r, values) { got = values; })"));

    // Each round opens a copy of its own (the same file again would be the
    // document already open) and closes it afterwards; the best round counts.
    QElapsedTimer timer;
    double openMs = 1e12, loadMs = 0, openInsideMs = 0;
    int openCalls = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString name = QStringLiteral("large-%1.xlsx").arg(round);
        const QString id = QStringLiteral("L%1").arg(round);
        QFile::copy(work.absoluteFilePath(QStringLiteral("large.xlsx")), work.absoluteFilePath(name));
        const int callsBefore = counting.calls;
        const double msBefore = counting.ms;
        const double loadBefore = counting.msByMember.value(QStringLiteral("Open(QVariant,QVariant,QVariant)"));
        timer.start();
        if (!open(name, id))
            qFatal("large.xlsx did not open");
        const double firstValue = page.eval(QStringLiteral("firstValue('%1')").arg(id)).toDouble();
        const double ms = timer.nsecsElapsed() / 1e6;
        if (firstValue <= 0)
            qFatal("large.xlsx gave no first value");
        if (ms < openMs) {
            openMs = ms;
            openCalls = counting.calls - callsBefore;
            openInsideMs = counting.ms - msBefore;
            loadMs = counting.msByMember.value(QStringLiteral("Open(QVariant,QVariant,QVariant)")) - loadBefore;
        }
        page.eval(QStringLiteral("books.%1.s_close('c')").arg(id));
    }

    double setRate = 0, getRate = 0;
    double setCalls = 0, getCalls = 0, setInside = 0, getInside = 0;
    for (int round = 0; round < rounds; ++round) {
        page.eval(QStringLiteral("window.map = cellMap(%1.5)").arg(round));
        const auto measure = [&](const QString &script, double *rate, double *calls, double *inside) {
            const int callsBefore = counting.calls;
            const double msBefore = counting.ms;
            timer.start();
            page.eval(script);
            const double seconds = timer.nsecsElapsed() / 1e9;
            if (CELLS / seconds > *rate) {
                *rate = CELLS / seconds;
                *inside = (counting.ms - msBefore) / 1000.0 / seconds;
            }
            *calls = double(counting.calls - callsBefore) / CELLS;
        };
        measure(QStringLiteral("ws.s_setCellValues('h', map)"), &setRate, &setCalls, &setInside);
        measure(QStringLiteral("ws.s_getCellRangeValue('h', 'A1:J100')"), &getRate, &getCalls, &getInside);
        if (page.eval(QStringLiteral("got[99][9] === map.J100 && got[0][0] === map.A1")).toBool() == false)
            qFatal("the values read back are not the ones written");
    }
    // What the office sends per cell, in a pass of its own.
    page.eval(QStringLiteral("window.map = cellMap(0.25)"));
    OfficeSends setSends(office.pid);
    page.eval(QStringLiteral("ws.s_setCellValues('h', map)"));
    const double setAnswers = double(setSends.stop()) / CELLS;
    OfficeSends getSends(office.pid);
    page.eval(QStringLiteral("ws.s_getCellRangeValue('h', 'A1:J100')"));
    const double getAnswers = double(getSends.stop()) / CELLS;
    AutomationPlugin::install(nullptr);

    print("s_setCellValues, 1000 cells, best round", setRate, "cells/s");
    print("s_getCellRangeValue, 1000 cells, best round", getRate, "cells/s");
    print("automation calls per cell set", setCalls, "calls");
    print("automation calls per cell read", getCalls, "calls");
    print("office sends per cell set (strace)", setAnswers, "calls");
    print("office sends per cell read (strace)", getAnswers, "calls");
    print("share of set time inside automation calls", setInside * 100, "%");
    print("share of read time inside automation calls", getInside * 100, "%");
    print("open to first value, 1 MB workbook, best round (with the print-settings normalisation)", openMs, "ms");
    print("  of it in the office's load (Workbooks.Open)", loadMs, "ms");
    print("  of it in the other automation calls of the open and first read", openInsideMs - loadMs, "ms");
    print("  automation calls of the open and first read", openCalls, "calls");

    if (QProcess::execute(PYTHON, {QStringLiteral("-c"), QStringLiteral("import uno")}) != 0) {
        std::printf("python3-uno not installed (Debian's python3-uno): native comparison skipped\n");
        return 0;
    }
    // A copy of its own: the same file again would be the document already open.
    QFile::remove(work.absoluteFilePath(QStringLiteral("large-native.xlsx")));
    QFile::copy(work.absoluteFilePath(QStringLiteral("large.xlsx")),
                work.absoluteFilePath(QStringLiteral("large-native.xlsx")));
    QFile::remove(work.absoluteFilePath(QStringLiteral("cells-native.xlsx")));
    QFile::copy(work.absoluteFilePath(QStringLiteral("cells.xlsx")),
                work.absoluteFilePath(QStringLiteral("cells-native.xlsx")));
    const QHash<QString, double> native =
            python({office.pipe, work.absoluteFilePath(QStringLiteral("large-native.xlsx")),
                    work.absoluteFilePath(QStringLiteral("cells-native.xlsx")), QString::number(ROWS),
                    QString::number(rounds)},
                   office.pid);
    const double nativeSet = native.value(QStringLiteral("python3-uno set cells per second"));
    const double nativeGet = native.value(QStringLiteral("python3-uno get cells per second"));
    const double nativeOpen = native.value(QStringLiteral("python3-uno open to first value, 1 MB workbook (ms)"));
    print("python3-uno, cell by cell set, best round", nativeSet, "cells/s");
    print("python3-uno, cell by cell read, best round", nativeGet, "cells/s");
    print("python3-uno office sends per cell set (strace)",
          native.value(QStringLiteral("python3-uno office sends per cell set")), "calls");
    print("python3-uno office sends per cell read (strace)",
          native.value(QStringLiteral("python3-uno office sends per cell get")), "calls");
    print("python3-uno open to first value, 1 MB workbook, best round", nativeOpen, "ms");
    if (nativeSet > 0 && nativeGet > 0 && nativeOpen > 0) {
        print("s_setCellValues / python3-uno set (goal >= 0.8)", setRate / nativeSet, "x");
        print("s_getCellRangeValue / python3-uno read (goal >= 0.8)", getRate / nativeGet, "x");
        print("open to first value / python3-uno (goal <= 1.2)", openMs / nativeOpen, "x");
    }
    return 0;
}
