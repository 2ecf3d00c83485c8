#pragma once

#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/RuntimeException.hpp>

#include <memory>
#include <typeinfo>
#include <vector>

// A remote office object and the interfaces already asked of it. The first
// question for an interface is a round trip to the office; the bridge
// answers a repeated one itself (a few microseconds of work), but asks the
// office again every time for one the object refused. Each is asked once
// here, refusals too: what an object supports never changes.
class UnoObject
{
public:
    UnoObject() = default;

    template<class I>
    explicit UnoObject(const css::uno::Reference<I> &object)
        : m_object(static_cast<const css::uno::BaseReference &>(object).get())
    {
        remember<I>(object);
    }

    // From an Any holding an interface (a collection's element).
    static UnoObject fromAny(const css::uno::Any &value);

    bool is() const { return m_object.is(); }
    const css::uno::Reference<css::uno::XInterface> &get() const { return m_object; }

    // The interface, or an empty reference when the object lacks it.
    template<class I>
    css::uno::Reference<I> query()
    {
        for (const Asked &asked : m_asked) {
            if (*asked.type == typeid(I))
                return *static_cast<const css::uno::Reference<I> *>(asked.reference.get());
        }
        return remember<I>(css::uno::Reference<I>(m_object, css::uno::UNO_QUERY));
    }

    // The interface; throws as the office would when the object lacks it.
    template<class I>
    css::uno::Reference<I> as()
    {
        const css::uno::Reference<I> found = query<I>();
        if (!found.is())
            throw css::uno::RuntimeException("unsupported interface " + cppu::UnoType<I>::get().getTypeName());
        return found;
    }

private:
    struct Asked
    {
        const std::type_info *type;
        std::shared_ptr<void> reference;
    };

    template<class I>
    css::uno::Reference<I> remember(const css::uno::Reference<I> &reference)
    {
        m_asked.push_back(Asked{&typeid(I), std::make_shared<css::uno::Reference<I>>(reference)});
        return reference;
    }

    css::uno::Reference<css::uno::XInterface> m_object;
    std::vector<Asked> m_asked;
};

// Takes an interface out of an Any without asking the office when the Any
// already holds that interface.
template<class I>
css::uno::Reference<I> interfaceOf(const css::uno::Any &value)
{
    css::uno::Reference<I> reference;
    value >>= reference;
    return reference;
}
