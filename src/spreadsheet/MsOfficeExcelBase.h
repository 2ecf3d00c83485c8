#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>

class AutomationObject;

namespace MsOfficeExcel {

class Link;

// One spreadsheet automation object (application, workbook, worksheet,
// range) and the plain operations on it. Every operation takes an optional
// target object and falls back to the own handle; on a none or null target,
// or once the link is lost, it sends nothing and answers empty, none or false.
class Base : public QObject
{
    Q_OBJECT
public:
    // Takes `axObject` (may be null) as a child; `link` is the application's.
    Base(AutomationObject *axObject, Link *link, QObject *parent);

    bool isXaObjectNull(const AutomationObject *object = nullptr) const;
    AutomationObject *getAxObject() const;
    Link *getLink() const;

    // Sub-objects are children of the object queried, watched by the link.
    AutomationObject *xaQuerySubObject(const char *name, AutomationObject *target = nullptr);
    AutomationObject *xaQuerySubObject(const char *name, QVariantList args, AutomationObject *target = nullptr);
    // Without an argument list the call passes no values.
    QVariant xaDynamicCall(const char *signature, AutomationObject *target = nullptr);
    QVariant xaDynamicCall(const char *signature, QVariantList args, AutomationObject *target = nullptr);
    QVariant getXaProperty(const char *name, const QVariant &defaultValue = QVariant(),
                           AutomationObject *target = nullptr) const;
    bool setXaProperty(const char *name, const QVariant &value, AutomationObject *target = nullptr);
    // Returns the value set, or `valueForNoHandle` when there is no handle.
    bool changeXaProperty(const char *name, bool value, bool valueForNoHandle, AutomationObject *target = nullptr);

    void logObjectInfo(const QString &name, const AutomationObject *object) const;
    // "[MsOfficeExcel::Workbook]" for a workbook: the class name in brackets.
    QString getQDebugPrefix() const;
    void qDebugMessage(const QString &text) const;

public slots:
    void onAxObjectException(int code, const QString &source, const QString &desc, const QString &help);

protected:
    void setLink(Link *link);
    // Takes `object` as the handle (a child of this object).
    void setAxObject(AutomationObject *object);
    // Releases the handle; the object is none from then on.
    void deleteAxObject();
    // Logs the object's failures as "Excel Exception" lines.
    void watchExceptions(AutomationObject *object);

private:
    AutomationObject *targetOf(AutomationObject *target) const;

    AutomationObject *m_axObject = nullptr;
    QPointer<Link> m_link;
};

} // namespace MsOfficeExcel
