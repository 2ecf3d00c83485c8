// Command lines of any shape (arguments separated by NUL bytes, as the
// system hands them over) through the shell's parser into AppEnv.
#include "AppEnv.h"
#include "CommandLineParser.h"
#include "FuzzSupport.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    AppEnv::resetToDefaults();
    AppEnv::overrideApplicationDirPath(QDir::tempPath());
    QByteArrayList raw = QByteArray(reinterpret_cast<const char *>(data), int(size)).split('\0');
    QVector<char *> argv{const_cast<char *>("covrel")};
    for (QByteArray &argument : raw)
        argv.append(argument.data());
    const QStringList arguments = CommandLineParser::arguments(argv.size(), argv.data());

    CommandLineParser parser;
    switch (parser.apply(arguments)) {
    case CommandLineParser::Outcome::Run:
        // The values the shell reads at start-up.
        AppEnv::getContentDir();
        AppEnv::getContentDataDir();
        FUZZ_CHECK(AppEnv::getUrlIde().endsWith(QLatin1String("ide.html")), AppEnv::getUrlIde().toUtf8());
        break;
    case CommandLineParser::Outcome::Help:
        // parse() prints the help with an application object of its own.
    case CommandLineParser::Outcome::Version:
        break;
    case CommandLineParser::Outcome::Error:
        FUZZ_CHECK(!parser.errorText().isEmpty(), arguments.join(QLatin1Char(' ')).toUtf8());
        break;
    }
    return 0;
}
