#include "ScriptText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace ScriptText {

QString literal(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)}).toJson(QJsonDocument::Compact);
    QString text = QString::fromUtf8(array.mid(1, array.size() - 2));
    return text.replace(QChar(0x2028), QLatin1String("\\u2028")).replace(QChar(0x2029), QLatin1String("\\u2029"));
}

QString call(const QString &function, const QVariantList &arguments)
{
    QStringList literals;
    for (const QVariant &argument : arguments)
        literals << literal(argument);
    return function + QLatin1Char('(') + literals.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace ScriptText
