#include "XmlPartScan.h"

namespace {

bool startsAt(const QString &text, int position, QLatin1String marker)
{
    return text.midRef(position, marker.size()) == marker;
}

// The position after the next `marker` from `from`; -1 when there is none.
int skipPast(const QString &text, int from, QLatin1String marker)
{
    const int found = text.indexOf(marker, from);
    return found < 0 ? -1 : found + marker.size();
}

} // namespace

QString XmlPartScan::check(const QString &text)
{
    const int size = text.size();
    int depth = 0;
    int position = 0;
    while (position >= 0 && position < size && (position = text.indexOf(QLatin1Char('<'), position)) >= 0) {
        if (startsAt(text, position, QLatin1String("<!--"))) {
            position = skipPast(text, position + 4, QLatin1String("-->"));
        } else if (startsAt(text, position, QLatin1String("<![CDATA["))) {
            position = skipPast(text, position + 9, QLatin1String("]]>"));
        } else if (startsAt(text, position, QLatin1String("<!"))) {
            return QStringLiteral("a document type declaration");
        } else if (startsAt(text, position, QLatin1String("<?"))) {
            position = skipPast(text, position + 2, QLatin1String("?>"));
        } else if (startsAt(text, position, QLatin1String("</"))) {
            --depth;
            position = skipPast(text, position + 2, QLatin1String(">"));
        } else {
            // A start tag: attribute values are quoted and may hold any of "=/>".
            int attributes = 0;
            int end = position + 1;
            while (end >= 0 && end < size && text.at(end) != QLatin1Char('>')) {
                const QChar c = text.at(end);
                if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                    end = text.indexOf(c, end + 1);
                    if (end >= 0)
                        ++end;
                    continue;
                }
                if (c == QLatin1Char('='))
                    ++attributes;
                ++end;
            }
            if (end < 0 || end >= size)
                return QString();
            if (attributes > MAX_ATTRIBUTES)
                return QStringLiteral("more than %1 attributes on one element").arg(MAX_ATTRIBUTES);
            if (text.at(end - 1) != QLatin1Char('/') && ++depth > MAX_DEPTH)
                return QStringLiteral("elements nested deeper than %1 levels").arg(MAX_DEPTH);
            position = end + 1;
        }
    }
    return QString();
}
