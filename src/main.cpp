#include "AppEnv.h"
#include "BridgeApi.h"
#include "CommandLineParser.h"
#include "CovrelBridge.h"
#include "CrashHandler.h"
#include "FileSizeSignal.h"
#include "LogWriter.h"
#include "MainWindow.h"
#include "MemoryTuning.h"
#include "OfficeBridge.h"
#include "SingleApplication.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSplashScreen>
#include <QTranslator>

#include <cstdio>

namespace {

// Only when unset: a real display must reach the window and every child.
void ensureDisplay()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("DISPLAY", ":0");
}

void showSplash(QSplashScreen &splash)
{
    const QPixmap image(QStringLiteral(":/icons/splash"));
    const QSize screen = QGuiApplication::primaryScreen()->size();
    splash.setPixmap(
            image.scaled(screen.width() / 3, screen.height() / 3, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    splash.showMessage(QStringLiteral("Приложение запускается. Пожалуйста, подождите."), Qt::AlignCenter, Qt::black);
    splash.show();
}

void installTranslator(QTranslator &translator, const QString &name, const QString &dir)
{
    translator.load(name, dir);
    qDebug() << translator.isEmpty();
    QCoreApplication::installTranslator(&translator);
}

// Writes what the bridge publishes to the page, without a window or a page:
// a bridge of its own, never shown, is enough to read the sub-bridges from.
int printApi(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CovrelBridge bridge(nullptr);
    const QByteArray json = QJsonDocument(BridgeApi::describe(&bridge, CovrelBridge::PUBLISHED_NAME)).toJson();
    std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    CrashHandler::install();
    FileSizeSignal::ignore();
    // Where the program lives is fixed now, before its drive can go away.
    AppEnv::getApplicationDirPath();
    MemoryTuning::apply();
    ensureDisplay();

    CommandLineParser parser;
    parser.parse(CommandLineParser::arguments(argc, argv));
    if (parser.isSet(QStringLiteral("print-api")))
        return printApi(argc, argv);

    SingleApplication::Options mode = SingleApplication::Mode::User;
    if (!AppEnv::isMultipleInstances())
        mode |= SingleApplication::Mode::ExcludeAppPath;
    SingleApplication app(argc, argv, false, mode, 1000, QString());

    LogWriter::buildInstance(&app);
    LogWriter::dumpPlatformInfo();
    LogWriter::registerCustomDebugMessageHandler();
    // Work of a run that was killed midway; the single-instance check above has
    // passed, and what another live process claims stays all the same.
    OfficeBridge::removeStaleWork();

    QSplashScreen splash;
    showSplash(splash);

    const QLocale defaultLocale(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(defaultLocale);
    qDebug().noquote() << QStringLiteral("defaultLocale.name(): %1").arg(defaultLocale.name());
    qDebug().noquote() << QStringLiteral("defaultLocale.languageToString(): %1")
                                  .arg(QLocale::languageToString(defaultLocale.language()));
    qDebug().noquote() << QStringLiteral("QLibraryInfo::location(QLibraryInfo::TranslationsPath): %1")
                                  .arg(QLibraryInfo::location(QLibraryInfo::TranslationsPath));

    QTranslator qtTranslator;
    installTranslator(qtTranslator, QStringLiteral("qt_ru"), QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    const QString appTranslationDir = AppEnv::getApplicationDir().absoluteFilePath(QStringLiteral("translations"));
    qDebug().noquote() << QStringLiteral("app translation dir: %1").arg(appTranslationDir);
    QTranslator appTranslator;
    installTranslator(appTranslator, QStringLiteral("app_ru"), appTranslationDir);
    qDebug().noquote() << QCoreApplication::translate("QWebPage", "Copy", "Reload context menu item");

    MainWindow window;
    window.init();
    if (AppEnv::isShowMaximized()) {
        window.showMaximized();
    } else {
        window.show();
        window.resize(1100, 800);
    }
    splash.finish(&window);

    // The page may have closed the window while start-up was still processing
    // events; the quit request it caused came before the loop existed.
    if (window.bridge()->isCloseAccept() && !window.isVisible())
        return 0;
    return app.exec();
}
