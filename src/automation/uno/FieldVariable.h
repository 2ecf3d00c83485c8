#pragma once

#include <com/sun/star/text/XTextField.hpp>

#include <QString>

// How the office shows a Word document variable: the package import makes a
// user field of the same name; the binary .doc import a field showing a
// custom document property of that name.
namespace FieldVariable {

extern const QString USER_FIELD;
extern const QString CUSTOM_FIELD;
extern const QString USER_MASTER;

bool supports(const css::uno::Reference<css::text::XTextField> &field, const QString &service);
// The variable a field shows, or a null string for any other field.
QString nameOf(const css::uno::Reference<css::text::XTextField> &field);

} // namespace FieldVariable
