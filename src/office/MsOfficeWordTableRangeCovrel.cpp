#include "MsOfficeWordTableRangeCovrel.h"

namespace MsOfficeWord {

TableRangeCovrel::TableRangeCovrel(AutomationObject *range, AutomationObject *document, QObject *parent)
    : TableCellsCovrel(range, document, parent)
{ }

AutomationObject *TableRangeCovrel::getXaTableRange() const { return m_object; }

} // namespace MsOfficeWord
