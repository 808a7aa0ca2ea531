// Reference counting of the toolkit's objects: a new object holds one reference; the last
// release deletes it. GVPRef holds one reference for a scope (a control being executed and its
// bar live until the command returns).
#pragma once

#include <utility>

class CGVPRefObject {
public:
    CGVPRefObject() = default;
    CGVPRefObject(const CGVPRefObject&) = delete;
    CGVPRefObject& operator=(const CGVPRefObject&) = delete;

    void InternalAddRef() { ++refs_; }
    void InternalRelease() {
        if (--refs_ == 0)
            DeleteThis();
    }
    int RefCount() const { return refs_; }

protected:
    virtual ~CGVPRefObject() = default;
    // Deletes the object; bars with a window override it to destroy the window first.
    virtual void DeleteThis() { delete this; }

private:
    int refs_ = 1;
};

template <class T> class GVPRef {
public:
    GVPRef() = default;
    explicit GVPRef(T* p) : p_(p) {
        if (p_)
            p_->InternalAddRef();
    }
    GVPRef(const GVPRef& o) : GVPRef(o.p_) {}
    GVPRef& operator=(const GVPRef& o) {
        GVPRef tmp(o);
        std::swap(p_, tmp.p_);
        return *this;
    }
    ~GVPRef() { reset(); }
    void reset() {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            p->InternalRelease();
        }
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};
