#pragma once

#include <QMap>
#include <QString>

// The variables of one template run: name -> value, in ascending name order.
// A variable is absent when it has no entry or its entry holds a null QString
// (what a script null/undefined converts to); QString("") is present and empty.
// Always test with isNull(), never isEmpty(), to tell the two apart.
using TemplateVariables = QMap<QString, QString>;

namespace TemplateVariablesUtil {
// True when `name` has an entry whose value is not a null QString.
bool isPresent(const TemplateVariables &variables, const QString &name);
} // namespace TemplateVariablesUtil
