#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// Script source for a test to run in a page: values as literals the page's
// engine reads back exactly, whatever they hold (quotes, backslashes, line
// breaks, U+2028 and U+2029, which an older engine takes for a line end even
// inside a string).
namespace ScriptText {

// `value` (a text, number, bool, null, list or map) as a script literal.
QString literal(const QVariant &value);
// "function(literal, literal, ...)".
QString call(const QString &function, const QVariantList &arguments);

} // namespace ScriptText
