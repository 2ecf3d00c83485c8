#include "AppEnv.h"
#include "CovrelBridge.h"
#include "LogWriter.h"
#include "MainWindow.h"
#include "PageHarness.h"
#include "WebView.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <QWebFrame>

// The bridge as the page meets it: published into a real page, called from
// page script, answering through signals the page receives.
class TestCovrelBridge : public QObject
{
    Q_OBJECT

private slots:
    void echoAnswersBeforeTheCallReturns();
    void bridgeIsThereFromTheFirstLineAfterReload();
    void directoryGettersAndChangeAppEnv();
    void storeIsRecreatedWhenDeleted();
    void loggerAppendsJournalRecordsInOrder();
    void closeHandshake();
    void closeFalseAloneKeepsWindowOpen();
    void closeAcceptedInsideAppCloseEventClosesAtOnce();
    void pagesOutsideTheContentGetNoBridge();
    void smallMethods();
};

void TestCovrelBridge::echoAnswersBeforeTheCallReturns()
{
    PageHarness page;
    QVERIFY(page.open());
    const QVariant got =
            page.eval(QStringLiteral("var got = [];"
                                     "__covrelBridge.echoSender.connect(function (id, s) { got.push([id, s]); });"
                                     "__covrelBridge.echo('7', 'abc');"
                                     "got"));
    QCOMPARE(got.toList(), (QVariantList{QVariantList{QStringLiteral("7"), QStringLiteral("abc")}}));
}

void TestCovrelBridge::bridgeIsThereFromTheFirstLineAfterReload()
{
    PageHarness page;
    page.writeContentFile(QStringLiteral("index.html"),
                          "<html><head><script>window.firstLine = typeof __covrelBridge;</script></head></html>");
    QVERIFY(page.open());
    QCOMPARE(page.eval(QStringLiteral("firstLine")).toString(), QStringLiteral("object"));
    QSignalSpy loaded(page.window()->webView(), &QWebView::loadFinished);
    page.window()->webView()->reload();
    QVERIFY(loaded.wait());
    QCOMPARE(page.eval(QStringLiteral("firstLine")).toString(), QStringLiteral("object"));

    // Navigating to another page of the content keeps the bridge too.
    page.writeContentFile(QStringLiteral("sub/other.html"),
                          "<html><head><script>window.firstLine = typeof __covrelBridge;</script></head></html>");
    page.eval(QStringLiteral("location.href = 'sub/other.html'"));
    QVERIFY(loaded.wait());
    QVERIFY(page.window()->webView()->url().toString().endsWith(QLatin1String("sub/other.html")));
    QCOMPARE(page.eval(QStringLiteral("firstLine")).toString(), QStringLiteral("object"));
}

void TestCovrelBridge::directoryGettersAndChangeAppEnv()
{
    PageHarness page;
    QVERIFY(page.open());
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getContentDirPath()")).toString(), page.contentDir());
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getContentDataDirPath()")).toString(),
             page.contentDir() + QStringLiteral("/data"));
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getStoreDirPath()")).toString(),
             page.path(QStringLiteral("store")));
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()")).toString(),
             page.path(QStringLiteral("store/docs")));
    QVERIFY(QFileInfo(page.path(QStringLiteral("store/docs"))).isDir());

    page.eval(QStringLiteral(
            "__covrelBridge.changeAppEnv({STORE_DOCS_DIR_PATH: 'C:\\\\Users\\\\me\\\\Docs', OTHER: 1})"));
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()")).toString(),
             QStringLiteral("C:/Users/me/Docs").prepend(QDir::currentPath() + QLatin1Char('/')));
    QCOMPARE(AppEnv::getFilePath(QStringLiteral("storeDocs://a.docx"))
                     .endsWith(QLatin1String("C:/Users/me/Docs/a.docx")),
             true);

    page.eval(QStringLiteral("__covrelBridge.changeAppEnv({})"));
    QVERIFY(page.eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()"))
                    .toString()
                    .endsWith(QLatin1String("Docs")));

    page.eval(QStringLiteral("__covrelBridge.changeAppEnv({STORE_DOCS_DIR_PATH: ''})"));
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getStoreDocsDirPath()")).toString(),
             page.path(QStringLiteral("store/docs")));
}

void TestCovrelBridge::storeIsRecreatedWhenDeleted()
{
    PageHarness page;
    QVERIFY(page.open());
    QVERIFY(QDir(page.path(QStringLiteral("store"))).removeRecursively());
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.getStoreDirPath()")).toString(),
             page.path(QStringLiteral("store")));
    QVERIFY(QFileInfo(page.path(QStringLiteral("store"))).isDir());
}

void TestCovrelBridge::loggerAppendsJournalRecordsInOrder()
{
    PageHarness page;
    QVERIFY(page.open());
    page.eval(QStringLiteral("__covrelBridge.logger('1', 'первая', {b: 2, a: 'x', nested: {list: [1, 'два', true]}});"
                             "__covrelBridge.logger('2', 'second', {});"));
    QFile file(LogWriter::instance()->currentFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray records = QJsonDocument::fromJson(file.readAll()).array();
    QCOMPARE(records.size(), 2);
    const QJsonObject first = records.at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("message")).toString(), QStringLiteral("первая"));
    QCOMPARE(first.keys(),
             (QStringList{QStringLiteral("data"), QStringLiteral("message"), QStringLiteral("timestamp")}));
    const QJsonObject data = first.value(QStringLiteral("data")).toObject();
    QCOMPARE(data.value(QStringLiteral("b")).toDouble(), 2.0);
    QCOMPARE(data.value(QStringLiteral("nested")).toObject().value(QStringLiteral("list")).toArray(),
             (QJsonArray{1, QStringLiteral("два"), true}));
    QCOMPARE(records.at(1).toObject().value(QStringLiteral("data")).toObject(), QJsonObject());
}

void TestCovrelBridge::closeHandshake()
{
    PageHarness page;
    QVERIFY(page.open());
    page.window()->show();
    page.record(QStringLiteral("__covrelBridge"), {QStringLiteral("appCloseEvent")});

    // Unanswered attempts keep the window open and ask again each time.
    QVERIFY(!page.window()->close());
    QVERIFY(!page.window()->close());
    QCOMPARE(page.received(QStringLiteral("appCloseEvent")).size(), 2);
    QVERIFY(page.window()->isVisible());

    page.eval(QStringLiteral("__covrelBridge.close('c', false)"));
    QVERIFY(page.window()->isVisible());
    QVERIFY(!page.window()->bridge()->isCloseAccept());

    page.eval(QStringLiteral("__covrelBridge.close('c', true)"));
    QVERIFY(!page.window()->isVisible());
    QVERIFY(page.window()->bridge()->isCloseAccept());
    QCOMPARE(page.received(QStringLiteral("appCloseEvent")).size(), 2);
}

void TestCovrelBridge::closeFalseAloneKeepsWindowOpen()
{
    PageHarness page;
    QVERIFY(page.open());
    page.window()->show();
    page.eval(QStringLiteral("__covrelBridge.close('c', false)"));
    QVERIFY(page.window()->isVisible());
}

void TestCovrelBridge::closeAcceptedInsideAppCloseEventClosesAtOnce()
{
    PageHarness page;
    QVERIFY(page.open());
    page.window()->show();
    page.eval(QStringLiteral("__covrelBridge.appCloseEvent.connect(function () { __covrelBridge.close('c', true); })"));
    QVERIFY(page.window()->close());
    QVERIFY(!page.window()->isVisible());
}

void TestCovrelBridge::pagesOutsideTheContentGetNoBridge()
{
    PageHarness page;
    QVERIFY(page.open());
    QTemporaryDir elsewhere;
    QFile outside(elsewhere.path() + QStringLiteral("/outside.html"));
    QVERIFY(outside.open(QIODevice::WriteOnly));
    outside.write("<html><head><script>window.firstLine = typeof __covrelBridge;</script></head></html>");
    outside.close();
    QSignalSpy loaded(page.window()->webView(), &QWebView::loadFinished);
    page.window()->webView()->load(QUrl::fromLocalFile(outside.fileName()));
    QVERIFY(loaded.wait());
    QCOMPARE(page.eval(QStringLiteral("firstLine")).toString(), QStringLiteral("undefined"));

    // A symbolic link inside the content pointing outside does not count as inside.
    QVERIFY(QFile::link(elsewhere.path(), page.contentDir() + QStringLiteral("/link")));
    page.window()->webView()->load(QUrl::fromLocalFile(page.contentDir() + QStringLiteral("/link/outside.html")));
    QVERIFY(loaded.wait());
    QCOMPARE(page.eval(QStringLiteral("firstLine")).toString(), QStringLiteral("undefined"));

    // Back home, the bridge is there again.
    page.window()->webView()->load(QUrl::fromLocalFile(page.contentDir() + QStringLiteral("/index.html")));
    QVERIFY(loaded.wait());
    QCOMPARE(page.eval(QStringLiteral("typeof __covrelBridge")).toString(), QStringLiteral("object"));
}

void TestCovrelBridge::smallMethods()
{
    PageHarness page;
    QVERIFY(page.open());
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.isInternalLink()")).toBool(), false);
    AppEnv::setInternalLink(true);
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.isInternalLink()")).toBool(), true);
    QCOMPARE(page.eval(QStringLiteral("Array.isArray(__covrelBridge.availablePrinterNames())")).toBool(), true);
    QCOMPARE(page.eval(QStringLiteral("__covrelBridge.beep(); 'ok'")).toString(), QStringLiteral("ok"));
}

QTEST_MAIN(TestCovrelBridge)
#include "TestCovrelBridge.moc"
