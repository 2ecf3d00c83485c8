#include "UnoObject.h"

using namespace css;

UnoObject UnoObject::fromAny(const uno::Any &value)
{
    UnoObject object;
    value >>= object.m_object;
    return object;
}
