#pragma once

// Reference holding and interface answering for the component runtime, shared
// by the module and its hosts. Header-only templates: nothing here crosses
// the binary interface between the two.

#include "stavik/Runtime.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace stavik {

// Holds one reference on a component object through one of its interfaces
// and releases it when it ends, is reset or is given another. Copies add a
// reference each; moves hand the one reference over.
template <typename Interface> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) { }
    Ref(const Ref& other) : p_(other.p_)
    {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) { }
    Ref& operator=(Ref other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~Ref() { reset(); }

    // Takes over a reference the caller already owns: a new object's first
    // reference, or one handed out by QueryInterface or CreateInstance.
    static Ref adopt(Interface* p)
    {
        Ref ref;
        ref.p_ = p;
        return ref;
    }
    // Adds a reference of its own on p.
    static Ref retain(Interface* p)
    {
        if (p != nullptr) {
            p->AddRef();
        }
        return adopt(p);
    }

    void reset()
    {
        if (Interface* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }

    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

    // Where a call that hands out one reference through a void** writes it:
    // ref.receive() as that argument. What the ref held before is released;
    // the new reference is taken over when the call's full expression ends.
    class Receiver {
    public:
        explicit Receiver(Ref& ref) : ref_(ref) { ref_.reset(); }
        ~Receiver() { ref_.p_ = static_cast<Interface*>(raw_); }
        Receiver(const Receiver&) = delete;
        Receiver& operator=(const Receiver&) = delete;
        operator void**() { return &raw_; }

    private:
        Ref& ref_;
        void* raw_ = nullptr;
    };
    Receiver receive() { return Receiver(*this); }

private:
    Interface* p_ = nullptr;
};

// The interface iid of object with a reference of its own, or an empty Ref
// when object is null or does not answer iid.
template <typename Interface> Ref<Interface> query(IUnknown* object, const Guid& iid)
{
    Ref<Interface> answer;
    if (object == nullptr || failed(object->QueryInterface(iid, answer.receive()))) {
        return nullptr;
    }
    return answer;
}

// One interface an object answers: the identifier and the object seen as it.
struct InterfaceEntry {
    Guid iid;
    IUnknown* unknown; // the same object through this interface's own IUnknown
    void* pointer; // what the caller receives
};

template <typename Interface> InterfaceEntry answers(const Guid& iid, Interface* object)
{
    return {iid, object, object};
}

// QueryInterface for an object that answers entries. The first entry is the
// object's identity: iid::Unknown always answers it. The answer carries one
// reference; for any other identifier, NoInterface and a null answer.
inline HResult answerQuery(const Guid& iid, void** object, std::initializer_list<InterfaceEntry> entries)
{
    if (object == nullptr) {
        return result::Pointer;
    }
    *object = nullptr;
    for (const InterfaceEntry& entry : entries) {
        if (entry.iid == iid || (iid == iid::Unknown && &entry == entries.begin())) {
            entry.unknown->AddRef();
            *object = entry.pointer;
            return result::Ok;
        }
    }
    return result::NoInterface;
}

} // namespace stavik
