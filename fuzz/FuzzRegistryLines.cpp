// What the registry integration program writes, line by line: log lines, the
// prompt, answers. Every answer line must become what the bridge can hand
// to the page: an error answer that is a JSON object carrying the program's
// text exactly, or a record whose JSON, as the page gets it, parses again.
#include "FuzzSupport.h"
#include "TalqDorvData.h"

#include <QJsonObject>

namespace {

void checkAnswer(const QString &line, const QString &answer)
{
    const QJsonDocument document = QJsonDocument::fromJson(answer.toUtf8());
    if (line.startsWith(QLatin1String("ERROR"))) {
        QString text = line.startsWith(QLatin1String("ERROR: ")) ? line.mid(7) : line;
        text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        FUZZ_CHECK(document.isObject(), answer.toUtf8());
        FUZZ_CHECK(document.object().value(QStringLiteral("error")).toString() == text, answer.toUtf8());
        return;
    }
    if (document.isNull() || (document.isObject() && document.object().contains(QStringLiteral("error"))))
        return;
    // The record as the bridge passes it on.
    const QByteArray json = document.toJson(QJsonDocument::Compact);
    FUZZ_CHECK(QJsonDocument::fromJson(json) == document, json);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::quiet();
    const QByteArray output(reinterpret_cast<const char *>(data), int(size));
    // Whole lines only, as the provider reads them (each with its line feed).
    for (int start = 0, end; (end = output.indexOf('\n', start)) >= 0; start = end + 1) {
        const QString line = QString::fromUtf8(output.mid(start, end + 1 - start));
        if (const std::optional<QString> answer = TalqDorv::Data::answerFromLine(line))
            checkAnswer(line, *answer);
    }
    return 0;
}
