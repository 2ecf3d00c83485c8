#include "PageHarness.h"

#include "AppEnv.h"
#include "EventWait.h"
#include "LogWriter.h"
#include "MainWindow.h"
#include "WebView.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWebFrame>

PageHarness::PageHarness(QObject *parent)
    : QObject(parent)
{
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(m_dir.path());
    QDir(m_dir.path()).mkpath(QStringLiteral("content"));
    LogWriter::buildInstance(this);
}

PageHarness::~PageHarness()
{
    // Views must go before the application object does.
    delete m_window;
    AppEnv::overrideApplicationDirPath(QString());
    AppEnv::resetToDefaults();
}

QString PageHarness::appDir() const { return m_dir.path(); }
QString PageHarness::contentDir() const { return path(QStringLiteral("content")); }
QString PageHarness::path(const QString &relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

void PageHarness::writeContentFile(const QString &relativePath, const QByteArray &bytes)
{
    const QString target = contentDir() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("PageHarness: cannot write %s", qPrintable(target));
    file.write(bytes);
}

bool PageHarness::open(const QString &page)
{
    if (!QFile::exists(contentDir() + QStringLiteral("/index.html")))
        writeContentFile(QStringLiteral("index.html"), "<!DOCTYPE html><html><body>test page</body></html>");
    const QUrl url = page.contains(QStringLiteral("://")) ? QUrl(page)
                                                          : QUrl::fromLocalFile(contentDir() + QLatin1Char('/') + page);
    AppEnv::setUrl(url.toString());
    AppEnv::setUrlIde(QUrl::fromLocalFile(contentDir() + QStringLiteral("/ide.html")).toString());
    m_window = new MainWindow();
    QSignalSpy loaded(m_window->webView(), &QWebView::loadFinished);
    m_window->init();
    if (loaded.isEmpty() && !loaded.wait(60000))
        return false;
    return loaded.first().first().toBool();
}

void PageHarness::useDemoContent()
{
    const QString from = qEnvironmentVariable("COVREL_BIN_DIR") + QStringLiteral("/content");
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = contentDir() + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        QFile::copy(source, target);
    }
}

QVariant PageHarness::evalAsync(const QString &script, int timeoutMs)
{
    eval(QStringLiteral("window.__harnessDone = undefined; window.__harnessHasResult = false;"
                        "(function (done) { %1 })(function (v) { window.__harnessDone = v; window.__harnessHasResult = "
                        "true; });")
                 .arg(script));
    if (!QTest::qWaitFor([&] { return eval(QStringLiteral("window.__harnessHasResult")).toBool(); }, timeoutMs))
        return QStringLiteral("<no answer>");
    return eval(QStringLiteral("window.__harnessDone"));
}

MainWindow *PageHarness::window() const { return m_window; }

QVariant PageHarness::eval(const QString &script)
{
    return m_window->webView()->page()->mainFrame()->evaluateJavaScript(script);
}

void PageHarness::record(const QString &objectExpression, const QStringList &signalNames)
{
    const QString names = QString::fromUtf8(QJsonDocument::fromVariant(signalNames).toJson(QJsonDocument::Compact));
    eval(QStringLiteral(
                 "(function (target, names) {"
                 "  window.__harnessRecorded = window.__harnessRecorded || [];"
                 "  names.forEach(function (name) {"
                 "    target[name].connect(function () {"
                 "      window.__harnessRecorded.push({signal: name, args: Array.prototype.slice.call(arguments)});"
                 "    });"
                 "  });"
                 "})(%1, %2)")
                 .arg(objectExpression, names));
}

QVariantList PageHarness::received() { return eval(QStringLiteral("window.__harnessRecorded || []")).toList(); }

QList<QVariantList> PageHarness::received(const QString &signalName)
{
    QList<QVariantList> result;
    for (const QVariant &entry : received()) {
        const QVariantMap map = entry.toMap();
        if (map.value(QStringLiteral("signal")).toString() == signalName)
            result.append(map.value(QStringLiteral("args")).toList());
    }
    return result;
}

void PageHarness::clearReceived() { eval(QStringLiteral("window.__harnessRecorded = []")); }

bool PageHarness::waitFor(const QString &signalName, int count, int timeoutMs)
{
    return waitUntil([&] { return received(signalName).size() >= count; }, timeoutMs);
}
