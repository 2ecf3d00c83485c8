#include "AnswerLimits.h"

#include <QDebug>

const QString AnswerLimits::TOO_LARGE = QStringLiteral("tooLarge");

namespace {
void (*s_collect)() = nullptr;
}

bool AnswerLimits::fits(qint64 chars, const QString &operation, const QString &handlerId)
{
    if (chars <= MAX_ANSWER_CHARS)
        return true;
    qWarning().noquote() << QStringLiteral("[%1] Ответ не передан странице. HandlerId: %2. Символов: %3, предел %4")
                                    .arg(operation, handlerId.left(100))
                                    .arg(chars)
                                    .arg(MAX_ANSWER_CHARS);
    return false;
}

QString AnswerLimits::tooLargeMessage()
{
    return QStringLiteral("Ответ слишком велик для передачи странице (предел %1 символов)").arg(MAX_ANSWER_CHARS);
}

void AnswerLimits::beforeAnswer(qint64 chars)
{
    if (chars > COLLECT_ABOVE_CHARS && s_collect)
        s_collect();
}

qint64 AnswerLimits::chars(const QStringList &list)
{
    qint64 total = 0;
    for (const QString &item : list)
        total += item.size();
    return total;
}

qint64 AnswerLimits::chars(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::QString:
        return value.toString().size();
    case QMetaType::QStringList:
        return chars(value.toStringList()) + value.toStringList().size();
    case QMetaType::QVariantList: {
        qint64 total = 1;
        for (const QVariant &item : value.toList())
            total += chars(item);
        return total;
    }
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        qint64 total = 1;
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            total += it.key().size() + chars(it.value());
        return total;
    }
    default:
        return 1;
    }
}

void AnswerLimits::setCollector(void (*collect)()) { s_collect = collect; }
