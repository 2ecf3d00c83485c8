#include "WebPage.h"

#include <QDebug>

WebPage::WebPage(QObject *parent)
    : QWebPage(parent)
{ }

void WebPage::javaScriptConsoleMessage(const QString &message, int lineNumber, const QString &sourceID)
{
    // One pass, so a "%2" inside the page's own message is left alone.
    qInfo().noquote() << QStringLiteral("[WebPage] [%3#%2] %1").arg(message, QString::number(lineNumber), sourceID);
    QWebPage::javaScriptConsoleMessage(message, lineNumber, sourceID);
}
