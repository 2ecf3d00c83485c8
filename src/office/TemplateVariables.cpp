#include "TemplateVariables.h"

namespace TemplateVariablesUtil {

bool isPresent(const TemplateVariables &variables, const QString &name) { return !variables.value(name).isNull(); }

} // namespace TemplateVariablesUtil
