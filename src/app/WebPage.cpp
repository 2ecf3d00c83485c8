#include "WebPage.h"

#include "BridgeOriginPolicy.h"
#include "OriginNetworkAccess.h"

#include <QDebug>
#include <QNetworkRequest>
#include <QWebFrame>
#include <QWebSettings>

namespace {

// A frame's own empty document holds nothing from outside.
bool isInOrigin(const QUrl &url)
{
    const QString address = url.toString();
    return address == QLatin1String("about:blank") || address == QLatin1String("about:srcdoc")
            || BridgeOriginPolicy::allows(url);
}

} // namespace

WebPage::WebPage(QObject *parent)
    : QWebPage(parent)
    , m_network(new OriginNetworkAccess(this))
{
    setNetworkAccessManager(m_network);
    // Local pages reach no remote addresses either.
    settings()->setAttribute(QWebSettings::LocalContentCanAccessRemoteUrls, false);
}

bool WebPage::acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request, NavigationType type)
{
    if (frame && frame == mainFrame()) {
        m_network->setMainFrameTarget(request.url());
        return QWebPage::acceptNavigationRequest(frame, request, type);
    }
    // A frame inside the page, or a window the page opens (no frame yet):
    // all of them can reach the page's bridge, so only the origin may load there.
    if (!isInOrigin(request.url())) {
        qDebug().noquote() << QStringLiteral("[WebPage] Документ вне содержимого приложения не загружается: %1")
                                      .arg(request.url().toString());
        return false;
    }
    return QWebPage::acceptNavigationRequest(frame, request, type);
}

void WebPage::javaScriptConsoleMessage(const QString &message, int lineNumber, const QString &sourceID)
{
    // One pass, so a "%2" inside the page's own message is left alone.
    qInfo().noquote() << QStringLiteral("[WebPage] [%3#%2] %1").arg(message, QString::number(lineNumber), sourceID);
    QWebPage::javaScriptConsoleMessage(message, lineNumber, sourceID);
}
