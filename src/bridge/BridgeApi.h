#pragma once

#include <QJsonObject>

class QObject;

// What a page can reach through the published bridge, read from the
// meta-objects: the bridge, the sub-bridges its properties hold, and every
// script object a signal or a method hands out. Each object lists its
// properties, slots, invokable methods and signals with their argument names
// and types, in declaration order. The page API declarations and the
// reference are checked against this.
class BridgeApi
{
public:
    BridgeApi() = delete;

    // `bridge` is a live bridge (its properties are read); `publishedAs` is
    // the global name the windows give it.
    static QJsonObject describe(const QObject *bridge, const QString &publishedAs);
};
