#include "ScriptedAutomationBackend.h"

#include "AutomationPlugin.h"

#include <QJsonArray>
#include <QJsonDocument>

QString ScriptedAutomationBackend::Call::text() const
{
    const QString arguments =
            QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(args)).toJson(QJsonDocument::Compact));
    return QStringLiteral("%1.%2 %3").arg(object, member, arguments);
}

ScriptedAutomationBackend::ScriptedAutomationBackend() { AutomationPlugin::install(this); }

ScriptedAutomationBackend::~ScriptedAutomationBackend() { AutomationPlugin::install(nullptr); }

QString ScriptedAutomationBackend::key(const QString &object, const QString &member)
{
    return object + QLatin1Char('\n') + member;
}

void ScriptedAutomationBackend::addServer(const QString &progId, const QString &classId, const QString &object)
{
    m_progIds.insert(progId, object);
    m_classIds.insert(classId, object);
    m_progIdClassIds.insert(progId, classId);
}

void ScriptedAutomationBackend::setCoClass(const QString &object, const QString &coClass)
{
    m_coClasses.insert(object, coClass);
}

void ScriptedAutomationBackend::answer(const QString &object, const QString &member, const QVariant &value)
{
    m_answers.insert(key(object, member), [value](const QVariantList &) { return value; });
}

void ScriptedAutomationBackend::answer(const QString &object, const QString &member, const Handler &handler)
{
    m_answers.insert(key(object, member), handler);
}

void ScriptedAutomationBackend::answerObject(const QString &object, const QString &member, const QString &subObject)
{
    answer(object, member, QVariant(subObject));
}

void ScriptedAutomationBackend::answerObject(const QString &object, const QString &member, const Handler &handler)
{
    answer(object, member, handler);
}

void ScriptedAutomationBackend::raise(const QString &object, const QString &member, int code, const QString &source,
                                      const QString &description, const QString &help)
{
    m_raised.insert(key(object, member), Raised{code, source, description, help});
}

void ScriptedAutomationBackend::setFallback(const Fallback &fallback) { m_fallback = fallback; }

void ScriptedAutomationBackend::setSetter(const Setter &setter) { m_setter = setter; }

QList<ScriptedAutomationBackend::Call> ScriptedAutomationBackend::calls() const { return m_calls; }

QStringList ScriptedAutomationBackend::callTexts(const QString &kind) const
{
    QStringList texts;
    for (const Call &call : m_calls) {
        if (kind.isEmpty() || call.kind == kind)
            texts.append(call.text());
    }
    return texts;
}

void ScriptedAutomationBackend::clearCalls() { m_calls.clear(); }

int ScriptedAutomationBackend::liveHandles() const { return m_handles.size(); }

bool ScriptedAutomationBackend::raiseIfScripted(const QString &object, const QString &member,
                                                AutomationError *error) const
{
    const auto found = m_raised.constFind(key(object, member));
    if (found == m_raised.constEnd())
        return false;
    error->raise(found->code, found->source, found->description, found->help);
    return true;
}

ScriptedAutomationBackend::Handle ScriptedAutomationBackend::handleFor(const QString &object)
{
    if (object.isEmpty())
        return 0;
    const Handle handle = m_nextHandle++;
    m_handles.insert(handle, object);
    return handle;
}

QVariant ScriptedAutomationBackend::run(const QString &object, const QString &member, const QVariantList &args) const
{
    const auto found = m_answers.constFind(key(object, member));
    if (found != m_answers.constEnd())
        return (*found)(args);
    return m_fallback ? m_fallback(object, member, args) : QVariant();
}

QString ScriptedAutomationBackend::classIdFromProgId(const QString &progId) { return m_progIdClassIds.value(progId); }

AutomationBackend::Handle ScriptedAutomationBackend::create(const QString &id, bool attach, AutomationError *error)
{
    m_calls.append(Call{id, QStringLiteral("create"), QString(), {attach}});
    const QString object = attach ? m_classIds.value(id) : m_progIds.value(id, m_classIds.value(id));
    if (object.isEmpty() || raiseIfScripted(object, QString(), error))
        return 0;
    return handleFor(object);
}

QVariantList ScriptedAutomationBackend::named(const QVariantList &args) const
{
    QVariantList result;
    for (const QVariant &arg : args) {
        result.append(arg.canConvert<AutomationObjectArgument>() ? QVariant(
                              QLatin1Char('@') + m_handles.value(arg.value<AutomationObjectArgument>().handle))
                                                                 : arg);
    }
    return result;
}

AutomationBackend::Handle ScriptedAutomationBackend::querySubObject(Handle object, const QString &signature,
                                                                    const QVariantList &objectArgs,
                                                                    AutomationError *error)
{
    const QVariantList args = named(objectArgs);
    const QString name = m_handles.value(object);
    m_calls.append(Call{name, QStringLiteral("query"), signature, args});
    if (raiseIfScripted(name, signature, error))
        return 0;
    return handleFor(run(name, signature, args).toString());
}

QVariant ScriptedAutomationBackend::dynamicCall(Handle object, const QString &signature, const QVariantList &objectArgs,
                                                AutomationError *error)
{
    const QVariantList args = named(objectArgs);
    const QString name = m_handles.value(object);
    m_calls.append(Call{name, QStringLiteral("call"), signature, args});
    if (raiseIfScripted(name, signature, error))
        return QVariant();
    return run(name, signature, args);
}

QVariant ScriptedAutomationBackend::property(Handle object, const QString &name, AutomationError *error)
{
    const QString objectName = m_handles.value(object);
    m_calls.append(Call{objectName, QStringLiteral("get"), name, {}});
    if (raiseIfScripted(objectName, name, error))
        return QVariant();
    return run(objectName, name, {});
}

bool ScriptedAutomationBackend::setProperty(Handle object, const QString &name, const QVariant &value,
                                            AutomationError *error)
{
    const QString objectName = m_handles.value(object);
    m_calls.append(Call{objectName, QStringLiteral("set"), name, {value}});
    if (raiseIfScripted(objectName, name, error))
        return false;
    if (m_setter)
        m_setter(objectName, name, value);
    return true;
}

QString ScriptedAutomationBackend::coClass(Handle object) { return m_coClasses.value(m_handles.value(object)); }

void ScriptedAutomationBackend::release(Handle object) { m_handles.remove(object); }
