// Only documents under the start origin reach the bridge, by whatever route a
// page offers: frames, nested frames, frames navigated by script, windows,
// and scripts or requests that read files from elsewhere. Real pages, real
// files outside the content.
#include "FileTestSupport.h"
#include "LogLines.h"
#include "PageHarness.h"
#include "TestFiles.h"

#include <QScopedPointer>
#include <QTemporaryDir>
#include <QtTest>

using namespace FileTestSupport;
using namespace TestFiles;

namespace {

// Reaches for the bridge every way a document in a frame or window could.
const QByteArray OUTSIDE_PAGE = "<html><head><script>"
                                "try { top.outsideRan = true; } catch (e) {}"
                                "try { top.__covrelBridge.echo('outside', 'top'); } catch (e) {}"
                                "try { parent.__covrelBridge.echo('outside', 'parent'); } catch (e) {}"
                                "try { opener.__covrelBridge.echo('outside', 'opener'); } catch (e) {}"
                                "</script></head><body>outside</body></html>";

} // namespace

class TestOriginRule : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void outsideDocumentsNeverRun_data();
    void outsideDocumentsNeverRun();
    void outsideFilesAreNotReadIntoThePage();

private:
    // `text` with "OUT" standing for the folder outside the content.
    QString outside(QString text) const { return text.replace(QStringLiteral("OUT"), m_elsewhere->path()); }
    bool refused(const QString &file) const;

    QScopedPointer<QTemporaryDir> m_elsewhere;
    QScopedPointer<PageHarness> m_page;
    QScopedPointer<LogLines> m_log;
};

void TestOriginRule::init()
{
    m_elsewhere.reset(new QTemporaryDir);
    QVERIFY(writeFile(m_elsewhere->filePath(QStringLiteral("outside.html")), OUTSIDE_PAGE));
    QVERIFY(writeFile(m_elsewhere->filePath(QStringLiteral("outside.js")), "window.outsideScriptRan = true;"));
    QVERIFY(writeFile(m_elsewhere->filePath(QStringLiteral("outside.txt")), "outside text"));
    m_page.reset(new PageHarness);
    m_log.reset(new LogLines);
}

void TestOriginRule::cleanup()
{
    m_log.reset();
    m_page.reset();
    m_elsewhere.reset();
}

bool TestOriginRule::refused(const QString &file) const
{
    const QString address = QUrl::fromLocalFile(m_elsewhere->filePath(file)).toString();
    for (const QString &line : m_log->lines()) {
        if (line.startsWith(QStringLiteral("[WebPage]")) && line.endsWith(address))
            return true;
    }
    return false;
}

void TestOriginRule::outsideDocumentsNeverRun_data()
{
    QTest::addColumn<QString>("index"); // the start page
    QTest::addColumn<QString>("inner"); // sub/inner.html, a page of the content
    QTest::addColumn<QString>("trigger"); // run once the page is up; empty: nothing to run
    const QString innerPage = QStringLiteral("<html><body><script>top.innerRan = true;</script>"
                                             "<iframe src='file://OUT/outside.html'></iframe></body></html>");
    QTest::newRow("frame") << "<iframe src='file://OUT/outside.html'></iframe>" << QString() << QString();
    QTest::newRow("frame in a frame of the content")
            << "<iframe src='sub/inner.html'></iframe>" << innerPage << QString();
    QTest::newRow("object") << "<object type='text/html' data='file://OUT/outside.html'></object>" << QString()
                            << QString();
    QTest::newRow("frames[0] sent elsewhere") << "<iframe src='sub/inner.html'></iframe>"
                                              << "<html><body>inner</body></html>"
                                              << "frames[0].location.href = 'file://OUT/outside.html'";
    QTest::newRow("named frame as window.open target") << "<iframe name='side' src='sub/inner.html'></iframe>"
                                                       << "<html><body>inner</body></html>"
                                                       << "window.open('file://OUT/outside.html', 'side')";
}

void TestOriginRule::outsideDocumentsNeverRun()
{
    QFETCH(QString, index);
    QFETCH(QString, inner);
    QFETCH(QString, trigger);
    m_page->writeContentFile(QStringLiteral("index.html"), outside(index).toUtf8());
    if (!inner.isEmpty())
        m_page->writeContentFile(QStringLiteral("sub/inner.html"), outside(inner).toUtf8());
    QVERIFY(m_page->open());
    m_page->record(QStringLiteral("__covrelBridge"), {QStringLiteral("echoSender")});
    if (!trigger.isEmpty()) {
        m_page->eval(outside(trigger));
        // The navigation is carried out later: it ends either refused or run.
        QVERIFY(QTest::qWaitFor([&] {
            return refused(QStringLiteral("outside.html"))
                    || m_page->eval(QStringLiteral("!!window.outsideRan")).toBool();
        }));
    }
    QCOMPARE(m_page->eval(QStringLiteral("typeof window.outsideRan")).toString(), QStringLiteral("undefined"));
    QCOMPARE(m_page->received(QStringLiteral("echoSender")), QList<QVariantList>());
    QVERIFY(refused(QStringLiteral("outside.html")));
    if (inner.contains(QStringLiteral("innerRan")))
        QCOMPARE(m_page->eval(QStringLiteral("window.innerRan")).toBool(), true);
}

void TestOriginRule::outsideFilesAreNotReadIntoThePage()
{
    m_page->writeContentFile(QStringLiteral("data/inside.txt"), "inside text");
    m_page->writeContentFile(QStringLiteral("sub/inner.html"),
                             "<html><body><script>parent.__covrelBridge.echo('inner', 'reached');</script>"
                             "</body></html>");
    m_page->writeContentFile(QStringLiteral("index.html"),
                             outside(QStringLiteral("<html><head><script src='file://OUT/outside.js'></script>"
                                                    "<script>var answers = [];"
                                                    "__covrelBridge.echoSender.connect(function (id, text) {"
                                                    "  answers.push(id + ' ' + text); });"
                                                    "function read(url) {"
                                                    "  try { var r = new XMLHttpRequest(); r.open('GET', url, false);"
                                                    "        r.send(); return r.responseText; }"
                                                    "  catch (e) { return 'failed'; } }"
                                                    "</script></head><body>"
                                                    "<iframe src='sub/inner.html'></iframe></body></html>"))
                                     .toUtf8());
    QVERIFY(m_page->open());
    // No script from elsewhere ran, nothing from elsewhere was read ...
    QCOMPARE(m_page->eval(QStringLiteral("typeof window.outsideScriptRan")).toString(), QStringLiteral("undefined"));
    QVERIFY(m_page->eval(outside(QStringLiteral("read('file://OUT/outside.txt')"))).toString()
            != QStringLiteral("outside text"));
    // ... and no window opens on a document from elsewhere, so none has an opener to reach.
    QCOMPARE(m_page->eval(outside(QStringLiteral("String(window.open('file://OUT/outside.html'))"))).toString(),
             QStringLiteral("undefined"));
    // The page's own files and frames are as before.
    QCOMPARE(m_page->eval(QStringLiteral("read('data/inside.txt')")).toString(), QStringLiteral("inside text"));
    QCOMPARE(m_page->eval(QStringLiteral("answers")).toStringList(), QStringList{QStringLiteral("inner reached")});
}

QTEST_MAIN(TestOriginRule)
#include "TestOriginRule.moc"
