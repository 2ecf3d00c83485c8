// A program that drives a new-instance Word through the automation plugin of
// APP_DIR/plugins and then waits to be killed, holding the Word ("hold") or
// having quit it, its office parked ("quit"). Prints "ready" once there.
//
//   office-client APP_DIR hold|quit
#include "AppEnv.h"
#include "AutomationObject.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    AppEnv::overrideApplicationDirPath(QString::fromLocal8Bit(argv[1]));
    AutomationObject word(QStringLiteral("Word.Application"));
    if (word.isNull())
        return 1;
    if (qstrcmp(argv[2], "quit") == 0)
        word.dynamicCall("Quit()");
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
