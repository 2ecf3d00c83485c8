#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QMap>
#include <QStringList>

// Declares the program's options, parses the argument list and copies every
// value into AppEnv. Used once, before the application object exists.
class CommandLineParser : public QCommandLineParser
{
public:
    CommandLineParser();

    void fillOptions();
    bool isSet(const QString &name) const;
    QString value(const QString &name, const QString &defaultValue = QString()) const;
    QStringList values(const QString &name, const QStringList &defaultValues = QStringList()) const;

    // Exits the process: 1 with the parser's error text on a bad command
    // line, 0 with the option table for the help option or the version for
    // the version option. The hidden option "print-api" is left to the caller.
    void parse(const QStringList &arguments);

    enum class Outcome { Run, Help, Version, Error };
    // parse() without leaving the process: on Run the values are in AppEnv,
    // on Error errorText() says why.
    Outcome apply(const QStringList &arguments);

    static QStringList arguments(int argc, char **argv);

private:
    void addNamedOption(const QString &name, const char *description, const char *valueName = nullptr,
                        QCommandLineOption::Flags flags = {});
    void copyIntoAppEnv();

    QMap<QString, QCommandLineOption> m_options;
};
