// What a page may hand the file services and what they hand back, through a
// real page: names the file system must not see, and answers too large for
// the web engine to carry.
#include "AnswerLimits.h"
#include "FileTestSupport.h"
#include "LogLines.h"
#include "PageHarness.h"
#include "ScriptText.h"
#include "ScriptedDialogs.h"
#include "TestFiles.h"

#include <QDir>
#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace FileTestSupport;
using namespace TestFiles;

namespace {

const QStringList FILE_SIGNALS{QStringLiteral("readFromContentDataFinished"),
                               QStringLiteral("readFromContentDataError"),
                               QStringLiteral("readFromStoreFinished"),
                               QStringLiteral("readFromStoreError"),
                               QStringLiteral("writeToStoreFinished"),
                               QStringLiteral("writeToStoreError"),
                               QStringLiteral("copyDataFileStarted"),
                               QStringLiteral("copyDataFileFinished"),
                               QStringLiteral("copyDataFileError"),
                               QStringLiteral("openFileFinished"),
                               QStringLiteral("openFileError"),
                               QStringLiteral("saveFileFinished"),
                               QStringLiteral("saveFileError"),
                               QStringLiteral("deleteFileFinished"),
                               QStringLiteral("deleteFileError"),
                               QStringLiteral("copyFileFinished"),
                               QStringLiteral("copyFileError"),
                               QStringLiteral("copyFileStatusFinished"),
                               QStringLiteral("checkExistedFinished"),
                               QStringLiteral("checkExistedError"),
                               QStringLiteral("checkExistedStatusFinished"),
                               QStringLiteral("getFilesInFolderFinished"),
                               QStringLiteral("getFilesInFolderError"),
                               QStringLiteral("echoSender"),
                               QStringLiteral("echoError")};

const QString BAD_NAME = QStringLiteral("Недопустимое имя файла");
const QString BAD_WORK_NAME = QStringLiteral("Invalid file name. ");

using Rows = QList<QVariantList>;

// `count` answers like `row`, the nth with n in place of the "%1" of its handlerId.
Rows repeated(int count, const QVariantList &row)
{
    Rows rows;
    for (int i = 0; i < count; ++i) {
        QVariantList numbered = row;
        numbered[1] = row.at(1).toString().arg(i);
        rows.append(numbered);
    }
    return rows;
}

} // namespace

class TestPageLimits : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namesWithControlCharactersAreRefused_data();
    void namesWithControlCharactersAreRefused();
    void existenceChecksRefuseSuchNames();
    void largeAnswersArriveWholeOrAreRefused_data();
    void largeAnswersArriveWholeOrAreRefused();
    void clientPromisesSettleOnRefusals();

private:
    // In `text`, "~" stands for a NUL and "@" for the work folder; in a
    // script the NUL is written as the page would write it.
    QString fill(QString text, bool script = false) const;
    Rows fill(const Rows &rows) const;

    QScopedPointer<PageHarness> m_page;
    QScopedPointer<QTemporaryDir> m_work;
    // Every call is logged with its text; long texts are kept out of the test's output.
    QScopedPointer<LogLines> m_log;
};

void TestPageLimits::init()
{
    m_page.reset(new PageHarness);
    m_page->writeContentFile(QStringLiteral("data/forms/a.json"), "{}");
    m_page->writeContentFile(QStringLiteral("data/t.docx"), "docx");
    m_work.reset(new QTemporaryDir);
    m_log.reset(new LogLines);
    QVERIFY(writeFile(m_work->filePath(QStringLiteral("a.txt")), "keep"));
    QVERIFY(writeFile(m_page->path(QStringLiteral("store/saved.json")), "saved"));
}

void TestPageLimits::cleanup()
{
    m_log.reset();
    m_page.reset();
    m_work.reset();
}

QString TestPageLimits::fill(QString text, bool script) const
{
    text.replace(QLatin1Char('@'), m_work->path());
    return text.replace(QLatin1Char('~'), script ? QStringLiteral("\\u0000") : QString(QChar(0)));
}

Rows TestPageLimits::fill(const Rows &rows) const
{
    Rows filled;
    for (const QVariantList &row : rows) {
        QVariantList values;
        for (const QVariant &value : row) {
            if (value.type() == QVariant::StringList) {
                QStringList list;
                for (const QString &item : value.toStringList())
                    list.append(fill(item));
                values.append(list);
            } else {
                values.append(value.type() == QVariant::String ? QVariant(fill(value.toString())) : value);
            }
        }
        filled.append(values);
    }
    return filled;
}

void TestPageLimits::namesWithControlCharactersAreRefused_data()
{
    // Each name, cut at its NUL, is a file that exists or would be written:
    // a call that went through would act on that other file.
    QTest::addColumn<QString>("call");
    QTest::addColumn<Rows>("answers");
    QTest::newRow("writeToStore") << "writeToStore('w', 'report.json~x', 'x')"
                                  << Rows{{"writeToStoreError", "w", "report.json~x", BAD_NAME}};
    QTest::newRow("writeToStore, a tab") << "writeToStore('w', 'report\\t.json', 'x')"
                                         << Rows{{"writeToStoreError", "w", "report\t.json", BAD_NAME}};
    QTest::newRow("writeToStore, a name longer than any path")
            << "writeToStore('w', 'x'.repeat(5000), 'x')" << Rows{{"writeToStoreError", "w", "", BAD_NAME}};
    QTest::newRow("readFromStore") << "readFromStore('r', 'saved.json~x')"
                                   << Rows{{"readFromStoreError", "r", "saved.json~x", "invalidName", BAD_NAME}};
    QTest::newRow("readFromContentData") << "readFromContentData('c', 'forms/a.json~x')"
                                         << Rows{{"readFromContentDataError", "c", "forms/a.json~x", "invalidName",
                                                  BAD_NAME}};
    QTest::newRow("copyDateFile, source")
            << "copyDateFile('d', 'data/t.docx~x', 'report', true)"
            << Rows{{"copyDataFileError", "d", "data/t.docx~x", "", "invalidName", BAD_NAME}};
    QTest::newRow("copyDateFile, new name")
            << "copyDateFile('d', 'data/t.docx', 'report~x', true)"
            << Rows{{"copyDataFileError", "d", "data/t.docx", "", "invalidName", BAD_NAME}};
    QTest::newRow("openFile") << "openFile('o', '@', 'a.txt~x')"
                              << Rows{{"openFileError", "o", "@/a.txt~x", "invalidName", BAD_WORK_NAME}};
    QTest::newRow("saveFile") << "saveFile('s', '@', 'a.txt~x', 'new')"
                              << Rows{{"saveFileError", "s", "a.txt~x", "invalidName", BAD_WORK_NAME}};
    QTest::newRow("deleteFile") << "deleteFile('d', '@', 'a.txt~x')"
                                << Rows{{"deleteFileError", "d", "a.txt~x", "invalidName", BAD_WORK_NAME}};
    QTest::newRow("copyFile, target") << "copyFile('c', ['@/a.txt'], '@', ['b.txt~x'], false)"
                                      << Rows{{"copyFileError", "c", "@/a.txt", "@/b.txt~x", "invalidName",
                                               BAD_WORK_NAME},
                                              {"copyFileStatusFinished", "c", QStringList{"@/a.txt"},
                                               QStringList{"b.txt~x"}, QStringList{"false"}}};
    QTest::newRow("copyFile, work folder")
            << "copyFile('c', ['@/a.txt'], '@/sub~x', ['b.txt'], false)"
            << Rows{{"copyFileError", "c", "@/a.txt", "@/sub~x/b.txt", "invalidName", BAD_WORK_NAME},
                    {"copyFileStatusFinished", "c", QStringList{"@/a.txt"}, QStringList{"b.txt"},
                     QStringList{"false"}}};
    QTest::newRow("checkExisted") << "checkExisted('e', '@', ['a.txt~x'])"
                                  << Rows{{"checkExistedError", "e", "@/a.txt~x", "invalidName", BAD_WORK_NAME},
                                          {"checkExistedStatusFinished", "e", QStringList{"a.txt~x"},
                                           QStringList{"false"}}};
    QTest::newRow("getFilesInFolder") << "getFilesInFolder('g', '@~x', '*')"
                                      << Rows{{"getFilesInFolderError", "g", "@~x", "Недопустимое имя папки"}};
}

void TestPageLimits::namesWithControlCharactersAreRefused()
{
    QFETCH(QString, call);
    QFETCH(Rows, answers);
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge"), FILE_SIGNALS);
    QCOMPARE(during(*m_page, fill(QStringLiteral("__covrelBridge.") + call, true)), fill(answers));
    // Nothing was done to the files the cut names lead to.
    QCOMPARE(entriesBesides(m_work->path(), {QStringLiteral("a.txt")}), QStringList());
    QCOMPARE(readFile(m_work->filePath(QStringLiteral("a.txt"))), QByteArray("keep"));
    QCOMPARE(entriesBesides(m_page->path(QStringLiteral("store")),
                            {QStringLiteral("saved.json"), QStringLiteral("logs"), QStringLiteral("docs")}),
             QStringList());
    QCOMPARE(entriesBesides(m_page->path(QStringLiteral("store/docs")), {}), QStringList());
}

void TestPageLimits::existenceChecksRefuseSuchNames()
{
    QVERIFY(m_page->open());
    RecordingOpener opener;
    QCOMPARE(m_page->eval(fill("__covrelBridge.isStoreFileExists('saved.json~x')", true)).toBool(), false);
    QCOMPARE(m_page->eval(fill("__covrelBridge.isContentDataFileExists('forms/a.json~x')", true)).toBool(), false);
    m_page->eval(fill("__covrelBridge.openStoreDir('@/a.txt~x')", true));
    QCOMPARE(opener.opened, QList<QUrl>());
}

void TestPageLimits::largeAnswersArriveWholeOrAreRefused_data()
{
    // The engine garbles or crashes on long answers unless the shell prepares
    // it; an answer beyond what it can carry is refused. Texts longer than 100
    // characters are shown by their length.
    const int max = AnswerLimits::MAX_ANSWER_CHARS;
    const QString tooLarge = AnswerLimits::tooLargeMessage();
    const int fiveMb = 5 * 1024 * 1024;
    const QString fiveMbText = QStringLiteral("<%1>").arg(fiveMb);
    QTest::addColumn<int>("fileChars"); // 'x' this many times in store/, content data/ and the work folder
    QTest::addColumn<QString>("call"); // b is __covrelBridge
    QTest::addColumn<Rows>("answers");
    QTest::newRow("echo at the limit") << 0 << QStringLiteral("b.echo('echo-1', 'x'.repeat(%1))").arg(max - 6)
                                       << Rows{{"echoSender", "echo-1", QStringLiteral("<%1>").arg(max - 6)}};
    QTest::newRow("echo past the limit") << 0 << QStringLiteral("b.echo('echo-1', 'x'.repeat(%1))").arg(max - 5)
                                         << Rows{{"echoError", "echo-1", "tooLarge", tooLarge}};
    QTest::newRow("echo of 40 MB") << 0 << "b.echo('echo-1', 'x'.repeat(40 * 1024 * 1024))"
                                   << Rows{{"echoError", "echo-1", "tooLarge", tooLarge}};
    // Five-megabyte answers one after the other: without the shell's care the
    // engine crashed within forty.
    QTest::newRow("store file of 5 MB, forty times")
            << fiveMb << "for (var i = 0; i < 40; ++i) b.readFromStore('read-' + i, 'big.txt')"
            << repeated(40, {"readFromStoreFinished", "read-%1", "big.txt", fiveMbText});
    QTest::newRow("store file at the limit")
            << max - 13 << "b.readFromStore('read-1', 'big.txt')"
            << Rows{{"readFromStoreFinished", "read-1", "big.txt", QStringLiteral("<%1>").arg(max - 13)}};
    QTest::newRow("store file past the limit")
            << max - 12 << "b.readFromStore('read-1', 'big.txt')"
            << Rows{{"readFromStoreError", "read-1", "big.txt", "tooLarge", tooLarge}};
    QTest::newRow("content data file past the limit")
            << max << "b.readFromContentData('data-1', 'big.txt')"
            << Rows{{"readFromContentDataError", "data-1", "big.txt", "tooLarge", tooLarge}};
    QTest::newRow("work file of 5 MB, forty times")
            << fiveMb << "for (var i = 0; i < 40; ++i) b.openFile('open-' + i, '@', 'big.txt')"
            << repeated(40, {"openFileFinished", "open-%1", "@/big.txt", true, fiveMbText});
    QTest::newRow("work file past the limit") << max << "b.openFile('open-1', '@', 'big.txt')"
                                              << Rows{{"openFileError", "open-1", "@/big.txt", "tooLarge", tooLarge}};
    const QString longList = QStringLiteral("Array(%1).fill('x'.repeat(4000))").arg(max / 4000 / 2 + 1);
    QTest::newRow("copyFile lists past the limit")
            << 0 << QStringLiteral("b.copyFile('copy-1', %1, '@', %1, false)").arg(longList)
            << Rows{{"copyFileError", "copy-1", "", "", "tooLarge", tooLarge}};
    QTest::newRow("checkExisted list past the limit")
            << 0 << QStringLiteral("b.checkExisted('check-1', '@', %1.concat(%1))").arg(longList)
            << Rows{{"checkExistedError", "check-1", "", "tooLarge", tooLarge}};
}

void TestPageLimits::largeAnswersArriveWholeOrAreRefused()
{
    QFETCH(int, fileChars);
    QFETCH(QString, call);
    QFETCH(Rows, answers);
    if (fileChars > 0) {
        const QByteArray text(fileChars, 'x');
        QVERIFY(writeFile(m_page->path(QStringLiteral("store/big.txt")), text));
        QVERIFY(writeFile(m_page->path(QStringLiteral("content/data/big.txt")), text));
        QVERIFY(writeFile(m_work->filePath(QStringLiteral("big.txt")), text));
    }
    QVERIFY(m_page->open());
    // A recorder of its own that keeps only the length of a long text.
    m_page->eval(QStringLiteral("window.got = [];"
                                "%1.forEach(function (name) {"
                                "  __covrelBridge[name].connect(function () {"
                                "    got.push([name].concat(Array.prototype.map.call(arguments, function (a) {"
                                "      return typeof a === 'string' && a.length > 100 ? '<' + a.length + '>' : a;"
                                "    })));"
                                "  });"
                                "});")
                         .arg(ScriptText::literal(FILE_SIGNALS)));
    m_page->eval(fill(QStringLiteral("var b = __covrelBridge; ") + call));
    Rows got;
    for (const QVariant &row : m_page->eval(QStringLiteral("got")).toList())
        got.append(row.toList());
    QCOMPARE(got, fill(answers));
}

void TestPageLimits::clientPromisesSettleOnRefusals()
{
    // The page's client library rejects, with the code, where the shell refuses.
    m_page->useDemoContent();
    m_page->writeContentFile(QStringLiteral("index.html"),
                             "<html><head><script src='js/covrel.js'></script></head><body></body></html>");
    QVERIFY(m_page->open());
    const QVariant codes = m_page->evalAsync(
            QStringLiteral("function code(p) { return p.then(function () { return 'ok'; },"
                           "                                 function (e) { return e.code; }); }"
                           "var list = Array(%1).fill('x'.repeat(4000));"
                           "Promise.all([code(Covrel.echo('x'.repeat(%2))), code(Covrel.checkExisted('.', list)),"
                           "             code(Covrel.copyFiles(list, '.', list)), code(Covrel.readStore('a\\u0000b'))])"
                           "    .then(done);")
                    .arg(AnswerLimits::MAX_ANSWER_CHARS / 4000 + 1)
                    .arg(AnswerLimits::MAX_ANSWER_CHARS));
    QCOMPARE(codes.toStringList(),
             (QStringList{QStringLiteral("tooLarge"), QStringLiteral("tooLarge"), QStringLiteral("tooLarge"),
                          QStringLiteral("invalidName")}));
}

QTEST_MAIN(TestPageLimits)
#include "TestPageLimits.moc"
