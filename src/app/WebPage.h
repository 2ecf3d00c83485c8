#pragma once

#include <QWebPage>

class OriginNetworkAccess;

// The page of a window: writes the page's console messages to the log, and
// keeps documents from outside the start origin out of its frames and of any
// window it would open, as the bridge is kept from such a main frame. The
// file access of local pages is confined to the origin (OriginNetworkAccess).
class WebPage : public QWebPage
{
    Q_OBJECT
public:
    explicit WebPage(QObject *parent = nullptr);

protected:
    void javaScriptConsoleMessage(const QString &message, int lineNumber, const QString &sourceID) override;
    bool acceptNavigationRequest(QWebFrame *frame, const QNetworkRequest &request, NavigationType type) override;

private:
    OriginNetworkAccess *m_network;
};
