#include "EmulatedObject.h"

void throwUnknownMember(const QString &coClass, const QString &member)
{
    throw AutomationFault{DispatchCode::MEMBER_NOT_FOUND, QStringLiteral("%1 has no member %2").arg(coClass, member)};
}

int collectionIndex(const QVariantList &args, int count)
{
    bool ok = false;
    const int index = args.value(0).toInt(&ok);
    if (!ok || index < 1 || index > count)
        throw AutomationFault{DispatchCode::BAD_INDEX,
                              QStringLiteral("The requested member of the collection does not exist (%1 of %2)")
                                      .arg(args.value(0).toString())
                                      .arg(count)};
    return index;
}
