#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// How much one answer may carry to the page. The web engine hands a signal's
// arguments to the page one by one and keeps the ones already converted where
// its garbage collector does not look; a collection set off while a long text
// is converted frees them, and the page gets null or another string in place
// of the handlerId, or the engine crashes on the freed memory. So a long
// answer is preceded by a collection, which leaves room for it, and an answer
// longer than that room is refused with TOO_LARGE.
class AnswerLimits
{
public:
    AnswerLimits() = delete;

    // Measured on the engine the shell runs on: after a collection, answers
    // of 10 M characters arrive whole, of 12 M not.
    static const int MAX_ANSWER_CHARS = 8 * 1024 * 1024;
    // Without a collection first, answers of up to 180 K characters arrived
    // whole in every run (tens of thousands of answers, pages allocating in
    // different ways); from 200 K on, not always. A collection costs about
    // 2 ms on a small page, so smaller answers go without one.
    static const int COLLECT_ABOVE_CHARS = 128 * 1024;
    static const QString TOO_LARGE;

    // True when an answer of `chars` characters may go to the page; a
    // refusal is logged with `operation` and `handlerId`.
    static bool fits(qint64 chars, const QString &operation, const QString &handlerId);
    static QString tooLargeMessage();
    // Call right before answering with `chars` characters.
    static void beforeAnswer(qint64 chars);
    static qint64 chars(const QStringList &list);
    // What a value costs the engine: its texts' characters, one for any other
    // value, so that a million numbers count as a long answer too.
    static qint64 chars(const QVariant &value);
    // `values` for an answer whose error is an empty result: when they fit,
    // after a collection if they are long; empty (and logged) when they do not.
    template<typename Values>
    static Values fitted(const Values &values, const QString &operation, const QString &handlerId);

    // What makes the web engine collect its garbage; set by the window that hosts it.
    static void setCollector(void (*collect)());
};

template<typename Values>
Values AnswerLimits::fitted(const Values &values, const QString &operation, const QString &handlerId)
{
    const qint64 count = chars(QVariant::fromValue(values));
    if (!fits(count, operation, handlerId))
        return Values();
    beforeAnswer(count);
    return values;
}
