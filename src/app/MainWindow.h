#pragma once

#include <QMainWindow>

class CovrelBridge;
class IdeWindow;
class QDeviceWatcher;
class QWebFrame;
class WebView;

// Hosts the content page, publishes the bridge into it on every load and
// negotiates closing with the page.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    void init();
    void registerSlots();

    WebView *webView() const { return m_webView; }
    CovrelBridge *bridge() const { return m_bridge; }
    IdeWindow *ideWindow() const { return m_ideWindow; }
    QDeviceWatcher *deviceWatcher() const { return m_deviceWatcher; }

    // Publishes `bridge` into `frame` when the frame's page may have it.
    static void publishBridge(QWebFrame *frame, CovrelBridge *bridge);

public slots:
    void slotDeviceAdded(const QString &dev);
    void slotDeviceRemoved(const QString &dev);
    void slotDeviceChanged(const QString &dev);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void addJSObject();

private:
    WebView *m_webView = nullptr;
    CovrelBridge *m_bridge = nullptr;
    IdeWindow *m_ideWindow = nullptr;
    QDeviceWatcher *m_deviceWatcher = nullptr;
};
