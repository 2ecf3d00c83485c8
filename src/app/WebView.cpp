#include "WebView.h"

#include "AppEnv.h"
#include "WebPage.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMetaEnum>
#include <QWebFrame>
#include <QWebHitTestResult>
#include <QWebSettings>

WebView::WebView(QWidget *parent)
    : QWebView(parent)
{
    setPage(new WebPage(this));
}

void WebView::init()
{
    settings()->setAttribute(QWebSettings::DeveloperExtrasEnabled, AppEnv::isDev());
    setupWebPageActions();
}

void WebView::setupWebPageActions()
{
    const QMetaObject &meta = QWebPage::staticMetaObject;
    const QMetaEnum actions = meta.enumerator(meta.indexOfEnumerator("WebAction"));
    for (int i = 0; i < actions.keyCount(); ++i) {
        const QString name = QString::fromLatin1(actions.key(i));
        const int value = actions.value(i);
        // NoWebAction and WebActionCount are markers, not actions.
        if (value < 0 || value >= QWebPage::WebActionCount)
            continue;
        QAction *action = page()->action(QWebPage::WebAction(value));
        if (!action)
            continue;
        if (name == QLatin1String("Copy") || name == QLatin1String("Paste") || name == QLatin1String("Cut"))
            continue;
        if (name == QLatin1String("InspectElement") || name == QLatin1String("Reload"))
            action->setVisible(AppEnv::isDev());
        else
            action->setVisible(false);
    }
}

void WebView::contextMenuEvent(QContextMenuEvent *event)
{
    const QWebHitTestResult hit = page()->mainFrame()->hitTestContent(event->pos());
    if (hit.isContentSelected() || hit.isContentEditable() || AppEnv::isDev())
        QWebView::contextMenuEvent(event);
}
