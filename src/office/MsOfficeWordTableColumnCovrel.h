#pragma once

#include "MsOfficeWordTableCellsCovrel.h"

#include <QStringList>

namespace MsOfficeWord {

// A table's column, with its cells.
class TableColumnCovrel : public TableCellsCovrel
{
    Q_OBJECT
public:
    TableColumnCovrel(AutomationObject *column, AutomationObject *document, QObject *parent);

    AutomationObject *getXaTableColumn() const;
};

} // namespace MsOfficeWord
