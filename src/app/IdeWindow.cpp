#include "IdeWindow.h"

#include "AppEnv.h"
#include "MainWindow.h"
#include "WebView.h"

#include <QUrl>
#include <QWebFrame>

IdeWindow::IdeWindow(QWidget *parent)
    : QMainWindow(parent)
{
    m_webView = new WebView(this);
    setWindowTitle(QStringLiteral("IDE"));
    setCentralWidget(m_webView);
    connect(m_webView->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared, this, &IdeWindow::addJSObject);
}

void IdeWindow::init(CovrelBridge *bridge)
{
    m_bridge = bridge;
    m_webView->init();
    m_webView->load(QUrl(AppEnv::getUrlIde()));
}

void IdeWindow::addJSObject()
{
    if (m_bridge)
        MainWindow::publishBridge(m_webView->page()->mainFrame(), m_bridge);
}
