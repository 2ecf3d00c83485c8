#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

class MainWindow;

// Runs the real main window headless on a content directory of the test's
// own, inside a throw-away installation directory (store/, logs/ land there),
// and lets the test run page script and read the signals the page received.
//
//   PageHarness page;
//   page.writeContentFile("index.html", "<html><body></body></html>");
//   QVERIFY(page.open());
//   page.record("__covrelBridge", {"echoSender"});
//   page.eval("__covrelBridge.echo('7', 'abc')");
//   QCOMPARE(page.received("echoSender").at(0), (QVariantList{"7", "abc"}));
class PageHarness : public QObject
{
    Q_OBJECT
public:
    explicit PageHarness(QObject *parent = nullptr);
    ~PageHarness() override;

    QString appDir() const; // the installation directory (application dir)
    QString contentDir() const; // appDir() + "/content"
    QString path(const QString &relative) const; // appDir() + "/" + relative

    // Copies the bundled demo content (the built installation's content/) in.
    void useDemoContent();
    // Evaluates `script`, which must call done(value) eventually (for a
    // promise: .then(done)), and spins the event loop until it did.
    QVariant evalAsync(const QString &script, int timeoutMs = 60000);

    // Writes a file under the content directory, creating folders.
    void writeContentFile(const QString &relativePath, const QByteArray &bytes);

    // Creates the main window, runs its init() and waits until the page at
    // contentDir()/page (or the given absolute URL) finished loading.
    // A minimal index.html is written when the content has none.
    bool open(const QString &page = QStringLiteral("index.html"));
    MainWindow *window() const;

    // Runs script in the main frame and returns its value.
    QVariant eval(const QString &script);

    // Connects recorders, in the page, to signals of the script object that
    // `objectExpression` evaluates to (e.g. "__covrelBridge.zipBridge").
    void record(const QString &objectExpression, const QStringList &signalNames);
    // Every recorded emission in order: maps {"signal": name, "args": [...]}.
    QVariantList received();
    // The argument lists of one signal's emissions, in order.
    QList<QVariantList> received(const QString &signalName);
    void clearReceived();
    // Spins the event loop until `signalName` was received `count` times.
    // The timeout is only a safety net against a hang, not a speed check.
    bool waitFor(const QString &signalName, int count = 1, int timeoutMs = 60000);

private:
    QTemporaryDir m_dir;
    MainWindow *m_window = nullptr;
};
