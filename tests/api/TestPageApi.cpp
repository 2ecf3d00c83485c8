#include "AppEnv.h"
#include "PageHarness.h"
#include "ScriptedDialogs.h"

#include <QDebug>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sourceDir() { return qEnvironmentVariable("COVREL_SOURCE_DIR"); }
QString binDir() { return qEnvironmentVariable("COVREL_BIN_DIR"); }
QString tsc() { return sourceDir() + QStringLiteral("/tools/node_modules/typescript/bin/tsc"); }
QString typedPage() { return sourceDir() + QStringLiteral("/tests/api/typed-page"); }

struct Run
{
    int exitCode = -1;
    QString output;
};

// Runs a program to its end; the output (both channels) is for the failure message.
Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(300000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

QString node() { return QStandardPaths::findExecutable(QStringLiteral("node")); }

} // namespace

// The page API as page authors get it: the declarations and the reference
// against the built program, and a strict TypeScript page on the wrappers,
// compiled to ES5 and run in the shell.
class TestPageApi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void declarationsAndReferenceMatchTheProgram();
    void typedPageChecksStrictly();
    void typedPageRunsInTheShell();
};

void TestPageApi::init()
{
    if (node().isEmpty() || !QFile::exists(tsc()))
        QSKIP("node or TypeScript missing: scripts/setup installs them (tools/node_modules)");
}

void TestPageApi::declarationsAndReferenceMatchTheProgram()
{
    QTemporaryDir dir;
    const QString api = dir.filePath(QStringLiteral("api.json"));
    QProcess program;
    program.setStandardOutputFile(api);
    program.start(binDir() + QStringLiteral("/covrel"), {QStringLiteral("--print-api")});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 0);

    const Run check =
            run(node(),
                {sourceDir() + QStringLiteral("/tools/page-api.js"), QStringLiteral("check"), QStringLiteral("--api"),
                 api, QStringLiteral("--page"), typedPage() + QStringLiteral("/typed-page.ts")});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
}

void TestPageApi::typedPageChecksStrictly()
{
    const Run check = run(
            node(), {tsc(), QStringLiteral("--noEmit"), QStringLiteral("--strict"), QStringLiteral("-p"), typedPage()});
    QVERIFY2(check.exitCode == 0, qPrintable(check.output));
}

void TestPageApi::typedPageRunsInTheShell()
{
    PageHarness page;
    const Run compiled =
            run(node(),
                {tsc(), QStringLiteral("-p"), typedPage(), QStringLiteral("--noEmit"), QStringLiteral("false"),
                 QStringLiteral("--outFile"), page.contentDir() + QStringLiteral("/typed-page.js")});
    QVERIFY2(compiled.exitCode == 0, qPrintable(compiled.output));
    page.useDemoContent();
    page.writeContentFile(QStringLiteral("typed.html"),
                          "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script src=\"js/covrel.js\"></script>"
                          "<script src=\"typed-page.js\"></script></head><body></body></html>");
    AppEnv::setPathTo7ZipExe(binDir() + QStringLiteral("/integrations/7zip/7z"));
    QTemporaryDir scratch;
    const QString dir = scratch.path();
    ScriptedDialogs dialogs;
    // In the page's order: save the data file copy, a folder, a file, then
    // cancel the documents folder, the registry folder and the workbook.
    dialogs.answers = QStringList{
            dir + QStringLiteral("/copy.txt"), dir, dir + QStringLiteral("/a.txt"), QString(), QString(), QString()};
    RecordingOpener opener;
    QVERIFY(page.open(QStringLiteral("typed.html")));

    const QVariantMap report =
            page.evalAsync(QStringLiteral("runTypedPage('%1').then(done, function (e) { done(String(e)); })").arg(dir))
                    .toMap();
    QVERIFY2(!report.isEmpty(), "the page did not report");
    const QString store = page.path(QStringLiteral("store"));
    const QVariantMap expected{
            {QStringLiteral("available"), true},
            {QStringLiteral("echo"), QStringLiteral("typed")},
            {QStringLiteral("call"), QVariantList{QStringLiteral("echoSender"), QStringLiteral("raw")}},
            {QStringLiteral("directories"),
             QVariantList{page.contentDir(), page.contentDir() + QStringLiteral("/data"), store}},
            {QStringLiteral("printers"), true},
            {QStringLiteral("writeStore"), QStringLiteral("typed/notes.txt")},
            {QStringLiteral("readStore"), QStringLiteral("строка\nline")},
            {QStringLiteral("readStoreMissing"), QStringLiteral("fileNotExists")},
            {QStringLiteral("readContentData"), true},
            {QStringLiteral("exists"), QVariantList{true, true, true}},
            {QStringLiteral("copyDataFile"), dir + QStringLiteral("/copy.txt")},
            {QStringLiteral("copyDataFileMissing"), QVariantList{QStringLiteral("fileNotExists"), QString()}},
            {QStringLiteral("saveFile"), dir + QStringLiteral("/a.txt")},
            {QStringLiteral("openFile"), QStringLiteral("x\ny")},
            {QStringLiteral("copyFiles"), QVariantList{QStringLiteral("ok")}},
            {QStringLiteral("copyFilesUneven"), QStringLiteral("errorInput")},
            {QStringLiteral("checkExisted"), QVariantList{QStringLiteral("ok"), QStringLiteral("false")}},
            {QStringLiteral("listFiles"),
             QVariantList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("copy.txt")}},
            {QStringLiteral("deleteFile"), true},
            {QStringLiteral("deleteFileMissing"), QStringLiteral("notFound")},
            {QStringLiteral("chooseDir"), dir},
            {QStringLiteral("chooseFile"), dir + QStringLiteral("/a.txt")},
            {QStringLiteral("chooseDocsDir"), QString()},
            {QStringLiteral("storeDocs"), dir},
            {QStringLiteral("openDocument"), dir + QStringLiteral("/a.txt")},
            {QStringLiteral("execExternal"), QStringLiteral("/bin/true")},
            {QStringLiteral("execStarted"), QStringLiteral("/bin/true")},
            {QStringLiteral("execFailed"), QStringLiteral("Программа завершилась с ошибкой")},
            {QStringLiteral("isExecExternal"), true},
            {QStringLiteral("gitVersion"), true},
            {QStringLiteral("zip"), QVariantList{true, QString()}},
            {QStringLiteral("zipDir"), store + QStringLiteral("/typed.zip")},
            {QStringLiteral("pdf"),
             QVariantList{false, QStringLiteral("exe_file_not_exists"), store + QStringLiteral("/Отчёт 1")}},
            {QStringLiteral("generateDocx"), dir + QStringLiteral("/letter.docx")},
            {QStringLiteral("generateDocxMissing"), QStringLiteral("errorFile")},
            {QStringLiteral("officeAvailable"), QVariantList{false, QStringLiteral("office_not_installed")}},
            {QStringLiteral("officeVersion"), QString()},
            {QStringLiteral("generateFromTemplateMissing"), QStringLiteral("Не найден файл шаблона")},
            {QStringLiteral("saveDocumentAs"), QStringLiteral("office_not_installed")},
            {QStringLiteral("registry"), QVariantList{false, QStringLiteral("talq_dorv_home_dir_not_set")}},
            {QStringLiteral("registryInfo"), QStringLiteral("getInfoError")},
            {QStringLiteral("setHomeDir"), QVariantList{QStringLiteral("directory_not_found")}},
            {QStringLiteral("chooseHomeDir"), QVariantList{QStringLiteral("dirSelectionRejected")}},
            {QStringLiteral("registryStop"), QStringLiteral("stopProviderResult")},
            {QStringLiteral("sheets"), QVariantList{false, QStringLiteral("office_excel_not_installed"), QString()}},
            {QStringLiteral("sheetsOpen"), QStringLiteral("failedOpenFile")},
            {QStringLiteral("sheetsOpenFromStore"), QStringLiteral("fileNotExistsInStoreDir")},
            {QStringLiteral("sheetsOpenByDialog"), true},
            {QStringLiteral("sheetsWorkbook"), true},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QString got;
        QDebug(&got) << report.value(it.key());
        QVERIFY2(report.value(it.key()) == it.value(), qPrintable(it.key() + QStringLiteral(": got ") + got));
    }
    QCOMPARE(report.size(), expected.size());
    QVERIFY(QFile::exists(dir + QStringLiteral("/letter.docx")));
    QVERIFY(QFile::exists(store + QStringLiteral("/typed.zip")));
    QCOMPARE(opener.opened.size(), 2);
}

QTEST_MAIN(TestPageApi)
#include "TestPageApi.moc"
