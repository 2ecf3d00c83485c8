#include "AutomationObject.h"

#include "AutomationPlugin.h"

namespace {
const QLatin1Char ATTACH_MARK('&');
}

AutomationObject::AutomationObject(QObject *parent)
    : QObject(parent)
{ }

AutomationObject::AutomationObject(const QString &control, QObject *parent)
    : QObject(parent)
{
    setControl(control);
}

AutomationObject::AutomationObject(AutomationBackend *backend, AutomationBackend::Handle handle, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
    , m_handle(handle)
{ }

AutomationObject::~AutomationObject() { clear(); }

QString AutomationObject::classIdFromProgId(const QString &progId)
{
    AutomationBackend *backend = AutomationPlugin::backend();
    return backend ? backend->classIdFromProgId(progId) : QString();
}

bool AutomationObject::setControl(const QString &control)
{
    clear();
    m_control = control;
    m_backend = AutomationPlugin::backend();
    if (!m_backend || control.isEmpty())
        return false;
    const bool attach = control.endsWith(ATTACH_MARK);
    AutomationError error;
    m_handle = m_backend->create(attach ? control.chopped(1) : control, attach, &error);
    if (error.raised)
        report(error);
    return m_handle != 0;
}

QString AutomationObject::control() const { return m_control; }

bool AutomationObject::isNull() const { return m_handle == 0; }

void AutomationObject::clear()
{
    if (m_backend && m_handle)
        m_backend->release(m_handle);
    m_handle = 0;
}

QVariantList AutomationObject::leadingValid(std::initializer_list<QVariant> vars)
{
    // Arguments end at the first one not given, as with default arguments.
    QVariantList list;
    for (const QVariant &var : vars) {
        if (!var.isValid())
            break;
        list.append(var);
    }
    return list;
}

AutomationObject *AutomationObject::querySubObject(const char *name, const QVariant &var1, const QVariant &var2,
                                                   const QVariant &var3, const QVariant &var4, const QVariant &var5,
                                                   const QVariant &var6, const QVariant &var7, const QVariant &var8)
{
    QVariantList vars = leadingValid({var1, var2, var3, var4, var5, var6, var7, var8});
    return querySubObject(name, vars);
}

AutomationObject *AutomationObject::querySubObject(const char *name, QList<QVariant> &vars)
{
    if (isNull())
        return nullptr;
    AutomationError error;
    const AutomationBackend::Handle handle =
            m_backend->querySubObject(m_handle, QString::fromLatin1(name), vars, &error);
    if (error.raised)
        report(error);
    return handle ? new AutomationObject(m_backend, handle, this) : nullptr;
}

QVariant AutomationObject::dynamicCall(const char *function, const QVariant &var1, const QVariant &var2,
                                       const QVariant &var3, const QVariant &var4, const QVariant &var5,
                                       const QVariant &var6, const QVariant &var7, const QVariant &var8)
{
    QVariantList vars = leadingValid({var1, var2, var3, var4, var5, var6, var7, var8});
    return dynamicCall(function, vars);
}

QVariant AutomationObject::dynamicCall(const char *function, QList<QVariant> &vars)
{
    if (isNull())
        return QVariant();
    AutomationError error;
    const QVariant result = m_backend->dynamicCall(m_handle, QString::fromLatin1(function), vars, &error);
    if (error.raised) {
        report(error);
        return QVariant();
    }
    return result;
}

QVariant AutomationObject::property(const char *name) const
{
    if (isNull())
        return QVariant();
    AutomationError error;
    const QVariant result = m_backend->property(m_handle, QString::fromLatin1(name), &error);
    if (error.raised) {
        report(error);
        return QVariant();
    }
    return result;
}

bool AutomationObject::setProperty(const char *name, const QVariant &value)
{
    if (isNull())
        return false;
    AutomationError error;
    const bool done = m_backend->setProperty(m_handle, QString::fromLatin1(name), value, &error);
    if (error.raised)
        report(error);
    return done && !error.raised;
}

QVariant AutomationObject::asVariant() const
{
    return isNull() ? QVariant() : QVariant::fromValue(AutomationObjectArgument{m_handle});
}

QString AutomationObject::classInfo(const char *name) const
{
    if (isNull() || qstrcmp(name, "CoClass") != 0)
        return QString();
    return m_backend->coClass(m_handle);
}

void AutomationObject::report(const AutomationError &error) const
{
    // Signals are not const; the object itself is unchanged by reporting.
    emit const_cast<AutomationObject *>(this)->exception(error.code, error.source, error.description, error.help);
}
