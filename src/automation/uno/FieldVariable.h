#pragma once

#include "UnoObject.h"

#include <QString>

// How the office shows a Word document variable: the package import makes a
// user field of the same name; the binary .doc import a field showing a
// custom document property of that name.
namespace FieldVariable {

extern const QString USER_MASTER;

enum class Shown { NotAVariable, ByUserField, ByCustomProperty };

// What a text field is, from its services (one question to the office).
Shown shownBy(UnoObject &field);
// The variable a field shows (asked of the office), or a null string.
QString nameOf(UnoObject &field, Shown shown);

} // namespace FieldVariable
