#include "PageNames.h"

#include <QDebug>

const QString PageNames::INVALID_NAME = QStringLiteral("invalidName");

namespace {

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

bool PageNames::isUsable(const QString &name, const QString &operation)
{
    if (name.size() > MAX_NAME_CHARS) {
        qWarning().noquote() << QStringLiteral("[%1] Имя файла отклонено: %2 символов, предел %3")
                                        .arg(operation)
                                        .arg(name.size())
                                        .arg(MAX_NAME_CHARS);
        return false;
    }
    if (hasControlCharacter(name)) {
        // The name itself is not logged as it stands: it holds the very characters refused.
        qWarning().noquote() << QStringLiteral("[%1] Имя файла с управляющими символами отклонено: %2")
                                        .arg(operation, QString::fromLatin1(name.toUtf8().toPercentEncoding("/")));
        return false;
    }
    return true;
}

bool PageNames::areUsable(const QStringList &names, const QString &operation)
{
    for (const QString &name : names) {
        if (!isUsable(name, operation))
            return false;
    }
    return true;
}

QString PageNames::echo(const QString &name) { return name.size() > MAX_NAME_CHARS ? QString() : name; }
