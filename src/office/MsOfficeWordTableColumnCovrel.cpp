#include "MsOfficeWordTableColumnCovrel.h"

namespace MsOfficeWord {

TableColumnCovrel::TableColumnCovrel(AutomationObject *column, AutomationObject *document, QObject *parent)
    : TableCellsCovrel(column, document, parent)
{ }

AutomationObject *TableColumnCovrel::getXaTableColumn() const { return m_object; }

} // namespace MsOfficeWord
