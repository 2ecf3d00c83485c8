#pragma once

#include "PageHarness.h"
#include "ScriptedExcel.h"

#include <QScopedPointer>

// A real page over the spreadsheet bridge, with the spreadsheet application
// held in memory, or the office suite's through the automation plugin: the
// page gets listen()/during() helpers that record the answers a call got
// before it returned, each rendered as one line ("s_saveAsResult \"h\"
// \"/path\""; null, dates as date:YYYY-MM-DD, workbooks as
// workbook:<path>, worksheets as worksheet).
class SheetPage
{
public:
    enum class Server { Scripted, Office };

    explicit SheetPage(bool demoContent = false, Server server = Server::Scripted);
    ~SheetPage();

    // The automation plugin built with the program; empty when it was not built.
    static QString officePlugin();

    ScriptedAutomationBackend &server() { return *m_server; }
    ScriptedExcel &excel() { return *m_excel; }
    PageHarness &page() { return *m_page; }
    bool open();

    // A workbook file on disk (outside the store unless the path says so)
    // that the application opens with the given sheets.
    QString addFile(const QString &path, const QList<ScriptedExcel::Sheet> &sheets);
    // Opens `path` under `id` from the page into window.books[id].
    bool openBook(const QString &path, const QString &id);

    // Runs `script` and returns the answers recorded while it ran.
    QStringList during(const QString &script);
    QVariant eval(const QString &script);

private:
    QScopedPointer<ScriptedAutomationBackend> m_server;
    QScopedPointer<ScriptedExcel> m_excel;
    QScopedPointer<PageHarness> m_page;
};
