#pragma once

#include <QString>

// Checks a part's text against the bounds the rest of the processing relies
// on, in one linear pass over its markup, before any DOM is built from it:
// - the nesting depth: the DOM frees, copies and reads the text of a tree
//   recursively, so a part nested thousands of levels deep would overflow the stack;
// - the attributes of one element: walking them through the DOM costs their
//   number squared;
// - no document type declaration: package parts never have one, one may declare
//   entities that expand beyond reason, and the DOM would not write it back as it was.
// Well-formedness is left to the parser: text the scan cannot follow passes.
class XmlPartScan
{
public:
    static const int MAX_DEPTH = 1000;
    static const int MAX_ATTRIBUTES = 256;

    // Empty when `text` keeps within the bounds; otherwise which bound it breaks.
    static QString check(const QString &text);
};
