#include "BridgeApi.h"

#include <QJsonArray>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QObject>
#include <QQueue>
#include <QSet>

namespace {

// A script object met on the walk: its class and where the page first gets one.
struct Reached
{
    const QMetaObject *meta;
    const QObject *instance; // null when only its type is known
    QString through;
};

QString kindOf(const QMetaMethod &method)
{
    switch (method.methodType()) {
    case QMetaMethod::Signal:
        return QStringLiteral("signal");
    case QMetaMethod::Slot:
        return QStringLiteral("slot");
    default:
        return QStringLiteral("invokable");
    }
}

// The class behind a pointer type the engine hands to the page as a live
// object (registered with qRegisterMetaType<T*>); null for anything else.
const QMetaObject *scriptObjectType(const QByteArray &typeName)
{
    if (!typeName.endsWith('*'))
        return nullptr;
    const int id = QMetaType::type(typeName.constData());
    if (id == QMetaType::UnknownType)
        return nullptr;
    const QMetaObject *meta = QMetaType::metaObjectForType(id);
    return meta == &QObject::staticMetaObject ? nullptr : meta;
}

QJsonObject describeMethod(const QMetaMethod &method)
{
    QJsonArray parameters;
    const QList<QByteArray> names = method.parameterNames();
    const QList<QByteArray> types = method.parameterTypes();
    for (int i = 0; i < types.size(); ++i)
        parameters.append(QJsonObject{{QStringLiteral("name"), QString::fromLatin1(names.value(i))},
                                      {QStringLiteral("type"), QString::fromLatin1(types.at(i))}});
    return QJsonObject{{QStringLiteral("name"), QString::fromLatin1(method.name())},
                       {QStringLiteral("kind"), kindOf(method)},
                       {QStringLiteral("returnType"), QString::fromLatin1(method.typeName())},
                       {QStringLiteral("signature"), QString::fromLatin1(method.methodSignature())},
                       {QStringLiteral("parameters"), parameters},
                       {QStringLiteral("required"), types.size()}};
}

// moc writes one extra method per default argument ("cloned"), right after
// the full one: to the page a slot or method is then one member whose
// trailing arguments may be left out. A signal reaches the page's handlers
// always with all its arguments, so its clones add nothing.
void foldClone(QJsonArray &members, const QMetaMethod &clone)
{
    if (clone.methodType() == QMetaMethod::Signal)
        return;
    for (int i = members.size() - 1; i >= 0; --i) {
        QJsonObject member = members.at(i).toObject();
        if (member.value(QStringLiteral("name")).toString() != QString::fromLatin1(clone.name())
            || member.value(QStringLiteral("kind")).toString() != kindOf(clone))
            continue;
        member.insert(QStringLiteral("required"),
                      qMin(member.value(QStringLiteral("required")).toInt(), clone.parameterCount()));
        members.replace(i, member);
        return;
    }
}

class Walker
{
public:
    QJsonArray walk(const QObject *root, const QString &publishedAs)
    {
        reach(root->metaObject(), root, publishedAs);
        QJsonArray objects;
        while (!m_queue.isEmpty())
            objects.append(describeObject(m_queue.dequeue()));
        return objects;
    }

private:
    void reach(const QMetaObject *meta, const QObject *instance, const QString &through)
    {
        if (!meta || m_seen.contains(meta))
            return;
        m_seen.insert(meta);
        m_queue.enqueue(Reached{meta, instance, through});
    }

    QJsonObject describeObject(const Reached &object)
    {
        const QMetaObject *meta = object.meta;
        const QString className = QString::fromLatin1(meta->className());
        // QObject's own members (objectName, destroyed, deleteLater) are the
        // same on every object and not part of the service.
        QJsonArray properties;
        for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
            properties.append(describeProperty(object, meta->property(i)));
        QJsonArray members;
        for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            // The engine offers the page every method but private ones.
            if (method.access() == QMetaMethod::Private || method.methodType() == QMetaMethod::Constructor)
                continue;
            if (method.attributes() & QMetaMethod::Cloned) {
                foldClone(members, method);
                continue;
            }
            members.append(describeMethod(method));
            const QString at = className + QLatin1Char('.') + QString::fromLatin1(method.name());
            reach(scriptObjectType(method.typeName()), nullptr, at);
            for (const QByteArray &type : method.parameterTypes())
                reach(scriptObjectType(type), nullptr, at);
        }
        return QJsonObject{{QStringLiteral("class"), className},
                           {QStringLiteral("reachedThrough"), object.through},
                           {QStringLiteral("properties"), properties},
                           {QStringLiteral("members"), members}};
    }

    QJsonObject describeProperty(const Reached &owner, const QMetaProperty &property)
    {
        const QString name = QString::fromLatin1(property.name());
        QString type = QString::fromLatin1(property.typeName());
        // A property typed QObject* holds a sub-bridge: the page sees that
        // object's own class, so it is read from the live bridge.
        if (owner.instance && property.userType() == QMetaType::QObjectStar) {
            if (const QObject *value = property.read(owner.instance).value<QObject *>()) {
                type = QString::fromLatin1(value->metaObject()->className()) + QLatin1Char('*');
                reach(value->metaObject(), value, owner.through + QLatin1Char('.') + name);
            }
        } else {
            reach(scriptObjectType(property.typeName()), nullptr, owner.through + QLatin1Char('.') + name);
        }
        return QJsonObject{{QStringLiteral("name"), name},
                           {QStringLiteral("type"), type},
                           {QStringLiteral("writable"), property.isWritable()}};
    }

    QQueue<Reached> m_queue;
    QSet<const QMetaObject *> m_seen;
};

} // namespace

QJsonObject BridgeApi::describe(const QObject *bridge, const QString &publishedAs)
{
    return QJsonObject{{QStringLiteral("publishedAs"), publishedAs},
                       {QStringLiteral("objects"), Walker().walk(bridge, publishedAs)}};
}
