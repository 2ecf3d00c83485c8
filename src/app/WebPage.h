#pragma once

#include <QWebPage>

// The page of a window: writes the page's console messages to the log.
class WebPage : public QWebPage
{
    Q_OBJECT
public:
    explicit WebPage(QObject *parent = nullptr);

protected:
    void javaScriptConsoleMessage(const QString &message, int lineNumber, const QString &sourceID) override;
};
