#include "MsOfficeExcelBase.h"

#include "AutomationObject.h"
#include "MsOfficeExcelLink.h"

#include <QDebug>

namespace MsOfficeExcel {

Base::Base(AutomationObject *axObject, Link *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    setAxObject(axObject);
}

void Base::setLink(Link *link) { m_link = link; }

void Base::setAxObject(AutomationObject *object)
{
    if (object)
        object->setParent(this);
    m_axObject = object;
}

void Base::deleteAxObject()
{
    delete m_axObject;
    m_axObject = nullptr;
}

void Base::watchExceptions(AutomationObject *object)
{
    if (object)
        connect(object, &AutomationObject::exception, this, &Base::onAxObjectException);
}

AutomationObject *Base::getAxObject() const { return m_axObject; }

Link *Base::getLink() const { return m_link; }

AutomationObject *Base::targetOf(AutomationObject *target) const { return target ? target : m_axObject; }

bool Base::isXaObjectNull(const AutomationObject *object) const
{
    const AutomationObject *target = object ? object : m_axObject;
    return !target || target->isNull() || (m_link && m_link->isLost());
}

AutomationObject *Base::xaQuerySubObject(const char *name, AutomationObject *target)
{
    return xaQuerySubObject(name, QVariantList(), target);
}

AutomationObject *Base::xaQuerySubObject(const char *name, QVariantList args, AutomationObject *target)
{
    AutomationObject *object = targetOf(target);
    if (isXaObjectNull(object))
        return nullptr;
    AutomationObject *sub = object->querySubObject(name, args);
    if (m_link)
        m_link->watch(sub);
    return sub;
}

QVariant Base::xaDynamicCall(const char *signature, AutomationObject *target)
{
    return xaDynamicCall(signature, QVariantList(), target);
}

QVariant Base::xaDynamicCall(const char *signature, QVariantList args, AutomationObject *target)
{
    AutomationObject *object = targetOf(target);
    return isXaObjectNull(object) ? QVariant() : object->dynamicCall(signature, args);
}

QVariant Base::getXaProperty(const char *name, const QVariant &defaultValue, AutomationObject *target) const
{
    AutomationObject *object = targetOf(target);
    return isXaObjectNull(object) ? defaultValue : object->property(name);
}

bool Base::setXaProperty(const char *name, const QVariant &value, AutomationObject *target)
{
    AutomationObject *object = targetOf(target);
    if (isXaObjectNull(object))
        return false;
    object->setProperty(name, value);
    return true;
}

bool Base::changeXaProperty(const char *name, bool value, bool valueForNoHandle, AutomationObject *target)
{
    return setXaProperty(name, value, target) ? value : valueForNoHandle;
}

void Base::logObjectInfo(const QString &name, const AutomationObject *object) const
{
    if (!object || object->isNull()) {
        qDebugMessage(QStringLiteral("Object %1 is null. Cannot get meta info.").arg(name));
        return;
    }
    qDebugMessage(QStringLiteral("AX object of %1 is '%2'").arg(name, object->classInfo("CoClass")));
}

QString Base::getQDebugPrefix() const
{
    return QStringLiteral("[%1]").arg(QString::fromLatin1(metaObject()->className()));
}

void Base::qDebugMessage(const QString &text) const
{
    qDebug().noquote() << QStringLiteral("%1 %2").arg(getQDebugPrefix(), text);
}

void Base::onAxObjectException(int code, const QString &source, const QString &desc, const QString &help)
{
    qDebug().noquote() << QStringLiteral("Excel Exception: ");
    qDebug().noquote() << QStringLiteral("  a1: %1").arg(code);
    qDebug().noquote() << QStringLiteral("  a2: %1").arg(source);
    qDebug().noquote() << QStringLiteral("  a3: %1").arg(desc);
    qDebug().noquote() << QStringLiteral("  a4: %1").arg(help);
}

} // namespace MsOfficeExcel
