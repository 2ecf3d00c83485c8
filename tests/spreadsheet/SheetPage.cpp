#include "SheetPage.h"
#include "ScriptText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {
const char *const HELPERS = R"(
window.shown = function (v) {
    if (v === null) return 'null';
    if (v === undefined) return 'undefined';
    if (v instanceof Date) {
        var pad = function (n) { return (n < 10 ? '0' : '') + n; };
        return 'date:' + v.getFullYear() + '-' + pad(v.getMonth() + 1) + '-' + pad(v.getDate());
    }
    if (Array.isArray(v)) return '[' + v.map(shown).join(',') + ']';
    if (typeof v === 'object') {
        if (typeof v.getFilePath === 'function') return 'workbook:' + v.getFilePath();
        if (typeof v.s_setCellValues === 'function') return 'worksheet';
        return '{' + Object.keys(v).sort().map(function (k) { return k + ':' + shown(v[k]); }).join(',') + '}';
    }
    return typeof v === 'string' ? JSON.stringify(v) : String(v);
};
window.heard = [];
window.listen = function (target, names) {
    names.forEach(function (name) {
        target[name].connect(function () {
            heard.push([name].concat(Array.prototype.slice.call(arguments).map(shown)).join(' '));
        });
    });
};
window.during = function (run) { var before = heard.length; run(); return heard.slice(before); };
window.sheet = __covrelBridge.spreedSheetBridge;
window.books = {};
sheet.openFileOpened.connect(function (h, path, id, workbook) { books[id] = workbook; });
listen(sheet, ['checkAvailableResult', 'openFileOpened', 'openFileError', 'openFileCancel', 'getWorkbookResult',
               'changeWorkbookIdResult']);
)";
} // namespace

SheetPage::SheetPage(bool demoContent, Server server)
    : m_page(new PageHarness)
{
    if (server == Server::Scripted) {
        m_server.reset(new ScriptedAutomationBackend);
        m_excel.reset(new ScriptedExcel(*m_server));
    } else {
        QDir().mkpath(m_page->path(QStringLiteral("plugins")));
        QFile::link(officePlugin(), m_page->path(QStringLiteral("plugins/libcovrel_automation_uno.so")));
    }
    if (demoContent)
        m_page->useDemoContent();
}

QString SheetPage::officePlugin()
{
    const QString built =
            qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/plugins/libcovrel_automation_uno.so");
    return QFileInfo::exists(built) ? built : QString();
}

SheetPage::~SheetPage()
{
    // The bridge's spreadsheet objects go with the page, before their server does.
    m_page.reset();
    m_excel.reset();
    m_server.reset();
}

bool SheetPage::open()
{
    if (!m_page->open())
        return false;
    m_page->eval(QString::fromUtf8(HELPERS));
    return true;
}

QString SheetPage::addFile(const QString &path, const QList<ScriptedExcel::Sheet> &sheets)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("workbook") <= 0)
        qFatal("SheetPage: cannot write %s", qPrintable(path));
    m_excel->files.insert(path, ScriptedExcel::Book{path, sheets, {}, true});
    return path;
}

bool SheetPage::openBook(const QString &path, const QString &id)
{
    return eval(QStringLiteral("sheet.openFile('open-%1', %2, false, %3); !!books[%3]")
                        .arg(id, ScriptText::literal(path), ScriptText::literal(id)))
            .toBool();
}

QStringList SheetPage::during(const QString &script)
{
    return eval(QStringLiteral("during(function () { %1; })").arg(script)).toStringList();
}

QVariant SheetPage::eval(const QString &script) { return m_page->eval(script); }
