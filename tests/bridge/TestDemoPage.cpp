#include "CovrelBridge.h"
#include "MainWindow.h"
#include "PageHarness.h"

#include <QTest>

// The bundled demo page and its promise client, as a user meets them.
class TestDemoPage : public QObject
{
    Q_OBJECT

private slots:
    void clientResolvesEachCallByItsOwnId();
    void clientRejectsWhenTheCallThrows();
    void demoAsksBeforeClosing();
};

void TestDemoPage::clientResolvesEachCallByItsOwnId()
{
    PageHarness page;
    page.useDemoContent();
    QVERIFY(page.open());
    QTRY_COMPARE(page.eval(QStringLiteral("document.getElementById('bridgeStatus').textContent")).toString(),
                 QStringLiteral("Мост: работает"));
    // Two calls in flight at once each get their own answer, in call order.
    const QVariant answers =
            page.evalAsync(QStringLiteral("Promise.all([Covrel.echo('один'), Covrel.echo('two')]).then(done);"));
    QCOMPARE(answers.toList(), (QVariantList{QStringLiteral("один"), QStringLiteral("two")}));
    QCOMPARE(page.eval(QStringLiteral("Object.keys(Covrel._pending).length")).toInt(), 0);
}

void TestDemoPage::clientRejectsWhenTheCallThrows()
{
    PageHarness page;
    page.useDemoContent();
    QVERIFY(page.open());
    const QVariant message = page.evalAsync(
            QStringLiteral("Covrel.call(null, 'noSuchMethod', [], {done: ['echoSender']})"
                           "  .then(function () { done('resolved'); }, function (e) { done('rejected'); });"));
    QCOMPARE(message.toString(), QStringLiteral("rejected"));
}

void TestDemoPage::demoAsksBeforeClosing()
{
    PageHarness page;
    page.useDemoContent();
    QVERIFY(page.open());
    page.window()->show();
    QVERIFY(!page.window()->close());
    QTRY_COMPARE(page.eval(QStringLiteral("document.getElementById('closeDialog').style.display")).toString(),
                 QStringLiteral("block"));
    // "Stay" keeps the window; the next attempt asks again and "Close" closes.
    page.eval(QStringLiteral("document.getElementById('closeNo').click()"));
    QTRY_COMPARE(page.eval(QStringLiteral("document.getElementById('closeDialog').style.display")).toString(),
                 QStringLiteral("none"));
    QVERIFY(page.window()->isVisible());
    QVERIFY(!page.window()->bridge()->isCloseAccept());
    QVERIFY(!page.window()->close());
    page.eval(QStringLiteral("document.getElementById('closeYes').click()"));
    QVERIFY(QTest::qWaitFor([&] { return !page.window()->isVisible(); }));
}

QTEST_MAIN(TestDemoPage)
#include "TestDemoPage.moc"
