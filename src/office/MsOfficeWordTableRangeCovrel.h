#pragma once

#include "MsOfficeWordTableCellsCovrel.h"

#include <QStringList>

namespace MsOfficeWord {

// A table's range, with its cells.
class TableRangeCovrel : public TableCellsCovrel
{
    Q_OBJECT
public:
    TableRangeCovrel(AutomationObject *range, AutomationObject *document, QObject *parent);

    AutomationObject *getXaTableRange() const;
};

} // namespace MsOfficeWord
