// Baseline for the shell benchmarks: a plain QWebView loading a page, with a
// bare object published under the same name on every window-object clear.
#include <QApplication>
#include <QUrl>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

#include <cstdio>

class BareObject : public QObject
{
    Q_OBJECT
public slots:
    void echo(const QString &handlerId, const QString &str) { emit echoSender(handlerId, str); }
    void logger(const QString &, const QString &message, const QVariantMap &)
    {
        std::printf("%s\n", qPrintable(message));
        std::fflush(stdout);
    }
    void close(const QString &, bool accept)
    {
        if (accept)
            QApplication::quit();
    }
signals:
    void echoSender(const QString &handlerId, const QString &str);
};

class ConsolePage : public QWebPage
{
public:
    using QWebPage::QWebPage;

protected:
    void javaScriptConsoleMessage(const QString &message, int, const QString &) override
    {
        std::printf("%s\n", qPrintable(message));
        std::fflush(stdout);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWebView view;
    auto *page = new ConsolePage(&view);
    view.setPage(page);
    BareObject bridge;
    QObject::connect(page->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared, &bridge, [&] {
        page->mainFrame()->addToJavaScriptWindowObject(QStringLiteral("__covrelBridge"), &bridge);
    });
    view.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}

#include "BareWebView.moc"
