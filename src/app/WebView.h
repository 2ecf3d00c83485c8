#pragma once

#include <QWebView>

class WebPage;

// The view of a window: its context menu and page actions are reduced to
// editing outside development mode.
class WebView : public QWebView
{
    Q_OBJECT
public:
    explicit WebView(QWidget *parent = nullptr);

    void init();
    void setupWebPageActions();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
};
