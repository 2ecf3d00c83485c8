#include "CommandLineParser.h"

#include "AppEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

CommandLineParser::CommandLineParser()
{
    setApplicationDescription(QCoreApplication::translate(
            "CommandLineParser",
            "Shows the page content/index.html from beside the program.\n"
            "The store (documents, temporary files, journal) is the folder store beside the program; when the\n"
            "program's folder is not writable (an installed copy), it is $XDG_DATA_HOME/covrel/store\n"
            "(by default ~/.local/share/covrel/store)."));
    addHelpOption();
    fillOptions();
}

void CommandLineParser::addNamedOption(const QString &name, const char *description, const char *valueName,
                                       QCommandLineOption::Flags flags)
{
    const QString translatedDescription = QCoreApplication::translate("CommandLineParser", description);
    QCommandLineOption option(name, translatedDescription);
    option.setFlags(flags);
    if (valueName)
        option.setValueName(QCoreApplication::translate("CommandLineParser", valueName));
    addOption(option);
    m_options.insert(name, option);
}

void CommandLineParser::fillOptions()
{
    addNamedOption(QStringLiteral("url"), QT_TRANSLATE_NOOP("CommandLineParser", "Url"), "url");
    addNamedOption(QStringLiteral("dev"), QT_TRANSLATE_NOOP("CommandLineParser", "Develop mode"));
    addNamedOption(QStringLiteral("ide"), QT_TRANSLATE_NOOP("CommandLineParser", "Show IDE window"));
    addNamedOption(QStringLiteral("internal-link"), QT_TRANSLATE_NOOP("CommandLineParser", "InternalLink"));
    addNamedOption(QStringLiteral("content-dir-path"), QT_TRANSLATE_NOOP("CommandLineParser", "Content dir path"),
                   "path");
    addNamedOption(QStringLiteral("content-data-dir-path"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Content data dir path"), "path");
    addNamedOption(QStringLiteral("debug"), QT_TRANSLATE_NOOP("CommandLineParser", "Write log messages to file"));
    addNamedOption(QStringLiteral("debug-file"), QT_TRANSLATE_NOOP("CommandLineParser", "Path to write log message"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to write log message"));
    // Accepted and listed; the instance key always includes the executable's path.
    addNamedOption(QStringLiteral("multiple-instances"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Allow copies started from other directories (always on)"));
    addNamedOption(QStringLiteral("disable-show-maximized"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Switch off maximazed windows when started"));
    addNamedOption(QStringLiteral("java-home"), QT_TRANSLATE_NOOP("CommandLineParser", "java home dir"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Dir of java home dir"));
    addNamedOption(QStringLiteral("talq-dorv-home"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV installation"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV installation"));
    addNamedOption(QStringLiteral("talq-dorv-jar"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV jar for integration"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV jar for integration"));
    addNamedOption(QStringLiteral("talq-dorv-db"), QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV db"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to TALQ DORV db"));
    addNamedOption(QStringLiteral("7zip"), QT_TRANSLATE_NOOP("CommandLineParser", "Path to 7zip exec path"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to 7zip exec path"));
    addNamedOption(QStringLiteral("wkhtmltopdf"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to wkhtmltopdf exec path"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Path to wkhtmltopdf exec path"));
    addNamedOption(QStringLiteral("pdfPrefixPath"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Prefix for pdf process file"),
                   QT_TRANSLATE_NOOP("CommandLineParser", "Prefix for pdf process file"));
    addNamedOption(QStringLiteral("version"), QT_TRANSLATE_NOOP("CommandLineParser", "Print the version and exit"));
    // For the page API declarations and reference: what the bridge publishes, as JSON.
    addNamedOption(QStringLiteral("print-api"), "Print the published bridge's members as JSON and exit", nullptr,
                   QCommandLineOption::HiddenFromHelp);
}

bool CommandLineParser::isSet(const QString &name) const
{
    const auto it = m_options.constFind(name);
    return it != m_options.constEnd() && QCommandLineParser::isSet(it.value());
}

QString CommandLineParser::value(const QString &name, const QString &defaultValue) const
{
    if (!isSet(name))
        return defaultValue;
    return QCommandLineParser::value(m_options.constFind(name).value());
}

QStringList CommandLineParser::values(const QString &name, const QStringList &defaultValues) const
{
    if (!isSet(name))
        return defaultValues;
    return QCommandLineParser::values(m_options.constFind(name).value());
}

void CommandLineParser::parse(const QStringList &arguments)
{
    const Outcome outcome = apply(arguments);
    if (outcome == Outcome::Error) {
        std::fprintf(stderr, "%s\n", qPrintable(errorText()));
        std::exit(1);
    }
    if (outcome == Outcome::Help) {
        // The help text names the program from the application object, which
        // does not exist yet at this point.
        static int argc = 1;
        static QByteArray program = arguments.value(0, QStringLiteral("covrel")).toLocal8Bit();
        static char *argv[] = {program.data(), nullptr};
        QCoreApplication helpApp(argc, argv);
        std::fprintf(stdout, "%s", qPrintable(helpText()));
        std::exit(0);
    }
    if (outcome == Outcome::Version) {
        std::fprintf(stdout, "covrel %s\n", COVREL_VERSION);
        std::exit(0);
    }
}

CommandLineParser::Outcome CommandLineParser::apply(const QStringList &arguments)
{
    if (!QCommandLineParser::parse(arguments))
        return Outcome::Error;
    if (QCommandLineParser::isSet(QStringLiteral("help")))
        return Outcome::Help;
    if (QCommandLineParser::isSet(QStringLiteral("version")))
        return Outcome::Version;
    copyIntoAppEnv();
    return Outcome::Run;
}

void CommandLineParser::copyIntoAppEnv()
{
    if (isSet(QStringLiteral("url"))) {
        AppEnv::setUrl(value(QStringLiteral("url")));
        AppEnv::setUrlIde(QStringLiteral("%1/ide.html").arg(value(QStringLiteral("url"))));
    }
    AppEnv::setDev(isSet(QStringLiteral("dev")));
    AppEnv::setIde(isSet(QStringLiteral("ide")));
    AppEnv::setInternalLink(isSet(QStringLiteral("internal-link")));
    AppEnv::setContentDirPath(value(QStringLiteral("content-dir-path")));
    AppEnv::setContentDataDirPath(value(QStringLiteral("content-data-dir-path")));
    if (isSet(QStringLiteral("debug"))) {
        AppEnv::setDebug(true);
        AppEnv::setDebugFilePath(value(QStringLiteral("debug-file")));
    }
    AppEnv::setShowMaximized(!isSet(QStringLiteral("disable-show-maximized")));
    AppEnv::setJavaHomeDirPath(value(QStringLiteral("java-home")));
    AppEnv::setTalqDorvHomeDirPath(value(QStringLiteral("talq-dorv-home")));
    AppEnv::setTalqDorvJarPath(value(QStringLiteral("talq-dorv-jar")));
    AppEnv::setTalqDorvDbPath(value(QStringLiteral("talq-dorv-db")));
    AppEnv::setPathTo7ZipExe(value(QStringLiteral("7zip")));
    AppEnv::setPathToWkhtmltopdfExe(value(QStringLiteral("wkhtmltopdf")));
    AppEnv::setPdfPrefixPath(value(QStringLiteral("pdfPrefixPath")));
    if (!isSet(QStringLiteral("url"))) {
        const QDir content = AppEnv::getContentDir();
        AppEnv::setUrl(QUrl::fromLocalFile(content.absoluteFilePath(QStringLiteral("index.html"))).toString());
        AppEnv::setUrlIde(QUrl::fromLocalFile(content.absoluteFilePath(QStringLiteral("ide.html"))).toString());
    }
}

QStringList CommandLineParser::arguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}
