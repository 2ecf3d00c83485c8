#include "WebPage.h"

#include <QDebug>

WebPage::WebPage(QObject *parent)
    : QWebPage(parent)
{
}

void WebPage::javaScriptConsoleMessage(const QString &message, int lineNumber, const QString &sourceID)
{
    qInfo().noquote() << QStringLiteral("[WebPage] [%3#%2] %1").arg(message).arg(lineNumber).arg(sourceID);
    QWebPage::javaScriptConsoleMessage(message, lineNumber, sourceID);
}
