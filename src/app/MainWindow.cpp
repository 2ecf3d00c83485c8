#include "MainWindow.h"

#include "AnswerLimits.h"
#include "AppEnv.h"
#include "BridgeOriginPolicy.h"
#include "CovrelBridge.h"
#include "DialogService.h"
#include "IdeWindow.h"
#include "QDeviceWatcher.h"
#include "WebView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QIcon>
#include <QUrl>
#include <QWebFrame>
#include <QWebSettings>

namespace {
const QString kProductTitle = QStringLiteral("Covrel");
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    // Before the first page exists: a page made earlier keeps the web storage
    // it started with, and the page's localStorage would not outlive the run.
    QWebSettings::enablePersistentStorage();
    // Long answers to the page need the engine's garbage collected first.
    AnswerLimits::setCollector(&QWebSettings::clearMemoryCaches);
    m_webView = new WebView(this);
    setWindowTitle(kProductTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/app")));
    m_bridge = new CovrelBridge(this);
    registerSlots();
    setCentralWidget(m_webView);
}

void MainWindow::registerSlots()
{
    qDebug().noquote() << QStringLiteral("Регистрирем подписку на события для регистрации бриджа");
    connect(m_webView->page()->mainFrame(), &QWebFrame::javaScriptWindowObjectCleared, this, &MainWindow::addJSObject);
}

void MainWindow::addJSObject() { publishBridge(m_webView->page()->mainFrame(), m_bridge); }

void MainWindow::publishBridge(QWebFrame *frame, CovrelBridge *bridge)
{
    const QUrl pageUrl = frame->url().isEmpty() ? frame->requestedUrl() : frame->url();
    if (pageUrl.isEmpty() || pageUrl.toString() == QLatin1String("about:blank"))
        return;
    if (!BridgeOriginPolicy::allows(pageUrl)) {
        qDebug().noquote() << QStringLiteral("[WebPage] Страница вне содержимого приложения, мост не публикуется: %1")
                                      .arg(pageUrl.toString());
        return;
    }
    frame->addToJavaScriptWindowObject(CovrelBridge::PUBLISHED_NAME, bridge);
}

void MainWindow::init()
{
    m_deviceWatcher = new QDeviceWatcher(this);
    m_deviceWatcher->appendEventReceiver(this);
    connect(m_deviceWatcher, &QDeviceWatcher::deviceAdded, this, &MainWindow::slotDeviceAdded, Qt::DirectConnection);
    connect(m_deviceWatcher, &QDeviceWatcher::deviceChanged, this, &MainWindow::slotDeviceChanged,
            Qt::DirectConnection);
    connect(m_deviceWatcher, &QDeviceWatcher::deviceRemoved, this, &MainWindow::slotDeviceRemoved,
            Qt::DirectConnection);
    m_deviceWatcher->start();

    m_bridge->init();

    qDebug().noquote() << AppEnv::getUrl();
    qDebug() << QUrl(AppEnv::getUrl());

    m_webView->init();
    m_webView->load(QUrl(AppEnv::getUrl()));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    QApplication::processEvents();
    // One IDE window for the whole run, even when the main window is shown again.
    if (AppEnv::isIde() && !m_ideWindow) {
        m_ideWindow = new IdeWindow(this);
        m_ideWindow->init(m_bridge);
        m_ideWindow->show();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_bridge->isCloseAccept())
        m_bridge->emitAppCloseEvent();
    // A page that agrees at once, inside its appCloseEvent handler, asks for a
    // close while this one is still running; the window drops that nested
    // request, so this close decides on the page's answer.
    if (m_bridge->isCloseAccept())
        event->accept();
    else
        event->ignore();
}

void MainWindow::slotDeviceAdded(const QString &dev)
{
    qDebug().noquote() << QStringLiteral("[USB_DEVICE] Added: %1").arg(dev);
}

void MainWindow::slotDeviceChanged(const QString &dev)
{
    qDebug().noquote() << QStringLiteral("[USB_DEVICE] Changed: %1").arg(dev);
}

void MainWindow::slotDeviceRemoved(const QString &dev)
{
    qDebug().noquote() << QStringLiteral("[USB_DEVICE] Removed: %1").arg(dev);
    const QString drive = QString(dev).replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Drives come with a trailing slash; so does the directory compared here,
    // so a program at the very root of the drive is recognised too.
    const QString appDir = AppEnv::getApplicationDirPath();
    const QString appDirWithSlash = appDir.endsWith(QLatin1Char('/')) ? appDir : appDir + QLatin1Char('/');
    if (!appDirWithSlash.startsWith(drive))
        return;
    const QString line = QStringLiteral("[USB_DEVICE] Приложение запущено с флешки показываем сообщение");
    qDebug().noquote() << line;
    DialogService::current()->information(
            nullptr, kProductTitle,
            QStringLiteral("Ошибка записи на диск. Пожалуйста, перезапустите приложение для продолжения работы."));
    qDebug().noquote() << line;
}
