#pragma once

#include <QMainWindow>

class CovrelBridge;
class WebView;

// A second window on the same content, sharing the main window's bridge.
class IdeWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit IdeWindow(QWidget *parent = nullptr);

    void init(CovrelBridge *bridge);
    WebView *webView() const { return m_webView; }

private slots:
    void addJSObject();

private:
    WebView *m_webView = nullptr;
    CovrelBridge *m_bridge = nullptr;
};
