#pragma once

#include "UnoObject.h"

#include <QString>

// How the office shows a Word document variable: the package import makes a
// user field of the same name; the binary .doc import a field showing a
// custom document property of that name.
namespace FieldVariable {

extern const QString USER_MASTER;

enum class Shown { NotAVariable, ByUserField, ByCustomProperty };

struct Variable
{
    Shown shown = Shown::NotAVariable;
    QString name; // null for any other field
};

// The variable a text field shows.
Variable of(UnoObject &field);

} // namespace FieldVariable
