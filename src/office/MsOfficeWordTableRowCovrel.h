#pragma once

#include "MsOfficeWordTableCellsCovrel.h"

#include <QStringList>

namespace MsOfficeWord {

// A table's row: its cells, the tests that decide whether it is removed,
// and its removal.
class TableRowCovrel : public TableCellsCovrel
{
    Q_OBJECT
public:
    TableRowCovrel(AutomationObject *row, AutomationObject *document, QObject *parent);

    AutomationObject *getXaTableRow() const;
    bool hasFields();
    bool hasFields(const QStringList &keys);
    // Every cell empty once the end-of-cell mark is gone.
    bool isEmptyContent();
    bool removeRow();
    // True when some cell shows a field and every such cell's variables are empty.
    bool hasAllEmptyValuesInField();
    // The same, looking only at the variables named in `keys`.
    bool hasAllEmptyValuesInField(const QStringList &keys);

private:
    bool allCellsWithFieldsEmpty(const QStringList *keys);
};

} // namespace MsOfficeWord
