#include "SpreedSheetRange.h"

#include "MsOfficeExcelPrintOptions.h"
#include "MsOfficeExcelRange.h"

namespace SpreedSheet {

Range::Range(MsOfficeExcel::Range *range, QObject *parent)
    : QObject(parent)
    , m_range(range)
{
    m_range->setParent(this);
}

MsOfficeExcel::Range *Range::getExcelRange() const { return m_range; }

QVariant Range::getValue() const { return m_range->getValue(); }

bool Range::setValue(const QVariant &value) { return m_range->setValue(value); }

QVariantList Range::getValues() { return m_range->getValues(); }

QString Range::getFormula() const { return m_range->getFormula(); }

bool Range::setFormula(const QString &formula) { return m_range->setFormula(formula); }

QString Range::getFormat() const { return m_range->getFormat(); }

bool Range::setFormat(const QString &format) { return m_range->setFormat(format); }

QString Range::getAddressLocal() { return m_range->getAddressLocal(); }

bool Range::print(const QString &printerName, const QVariantMap &printOptions)
{
    MsOfficeExcel::PrintOptions options;
    options.initFrom(printOptions);
    return m_range->print(printerName, options);
}

void Range::s_find(const QString &handlerId, const QString &what)
{
    Q_UNUSED(handlerId)
    Q_UNUSED(what)
}

} // namespace SpreedSheet
