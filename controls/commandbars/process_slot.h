// The slot of one of the toolkit's process-wide objects (managers of shadows, images, mouse and
// hooks): made on demand, destroyed only by the toolkit's exit, which runs before Qt's own
// teardown. No static destructor ever destroys what it holds: one that ran at exit() (Qt ends
// the process that way when its X server goes away) would find Qt's objects already gone.
#pragma once

#include <memory>

template <typename T> class GVPProcessSlot {
public:
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    void reset(T* object = nullptr) {
        T* old = object_;
        object_ = object;
        delete old;
    }
    GVPProcessSlot& operator=(std::unique_ptr<T> object) {
        reset(object.release());
        return *this;
    }

private:
    T* object_ = nullptr;
};
