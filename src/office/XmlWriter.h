#pragma once

#include <QDomDocument>
#include <QString>

// Writes a parsed part back as XML text, as the DOM's own writer does without
// indentation (same escapes, same line breaks after the declaration, comments
// and processing instructions), but in one pass over the tree: no recursion,
// so the nesting depth costs no stack, and escaping is linear in the text, so
// a value of many megabytes costs no more than copying it.
class XmlWriter
{
public:
    static QString toString(const QDomDocument &document);
};
