#pragma once

#include "TarvisExport.h"

#include <concepts>
#include <cstring>

// Classes whose member functions are bound into links usually derive from this
// empty class; a link accepts any class, though.
class TARVIS_API LinkHdl {};

// A bound callback: an object and one of its member functions taking one untyped
// pointer and returning a long. Build one with Link(&object, &Class::Member);
// the member may belong to a base class of the object's class.
//
// The member-function pointer is kept in its own type's representation inside a
// small buffer and called back through a trampoline instantiated for that type,
// so no member-function pointer is ever converted to another class's type.
class TARVIS_API Link {
public:
    Link() = default;

    template <class T, class M>
    requires std::derived_from<T, M> Link(T* object, long (M::*function)(void*)) {
        using Function = long (M::*)(void*);
        static_assert(sizeof(Function) <= sizeof(m_function), "member-function pointer does not fit");
        m_object = static_cast<M*>(object);
        if (function) {
            std::memcpy(m_function, &function, sizeof(Function));
            m_invoke = &Invoke<M>;
        }
    }

    // A member taking a typed pointer, e.g. int (KaPointList::*)(KaReaderObject*):
    // Call hands its argument on as that type, so the caller must pass one.
    template <class T, class M, class R, class A>
    requires std::derived_from<T, M> && std::convertible_to<R, long> &&
        (!std::same_as<A, void>)Link(T* object, R (M::*function)(A*)) {
        using Function = R (M::*)(A*);
        static_assert(sizeof(Function) <= sizeof(m_function), "member-function pointer does not fit");
        m_object = static_cast<M*>(object);
        if (function) {
            std::memcpy(m_function, &function, sizeof(Function));
            m_invoke = &InvokeTyped<M, R, A>;
        }
    }

    Link(Link const& other) = default;
    Link& operator=(Link const& other) = default;
    virtual ~Link();

    // Calls the bound function with arg; an empty link calls nothing and returns 0.
    long Call(void* arg) const;
    // 1 when both target object and member function are set.
    int IsSet() const { return m_object && m_invoke ? 1 : 0; }
    bool operator!() const { return !IsSet(); }

    // Links bound to the same object and the same member function are equal.
    bool operator==(Link const& other) const;

    // The target object (as the class of the bound member), null when empty.
    void const* GetTarget() const { return m_object; }

private:
    using Invoker = long (*)(void* object, unsigned char const* function, void* arg);

    template <class M>
    static long Invoke(void* object, unsigned char const* function, void* arg) {
        long (M::*f)(void*);
        std::memcpy(&f, function, sizeof(f));
        return (static_cast<M*>(object)->*f)(arg);
    }

    template <class M, class R, class A>
    static long InvokeTyped(void* object, unsigned char const* function, void* arg) {
        R (M::*f)(A*);
        std::memcpy(&f, function, sizeof(f));
        return static_cast<long>((static_cast<M*>(object)->*f)(static_cast<A*>(arg)));
    }

    void* m_object = nullptr;
    Invoker m_invoke = nullptr;
    alignas(void*) unsigned char m_function[2 * sizeof(void*)] = {};
};
