#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

// Anything a handle can stand for: ports, clocks, files.
class HandleObject {
public:
    virtual ~HandleObject() = default;
};

// Handles are 32-bit values above 32 (1 to 32 are error codes); each is used once, so a stale
// handle finds nothing instead of somebody else's object.
class HandleTable {
public:
    uint32_t add(std::shared_ptr<HandleObject> object);

    template <class T>
    std::shared_ptr<T> find(uint32_t handle)
    {
        return std::dynamic_pointer_cast<T>(lookup(handle));
    }

    // Takes the object out of the table; the caller finishes it off.
    template <class T>
    std::shared_ptr<T> remove(uint32_t handle)
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = objects.find(handle);
        if (it == objects.end())
            return nullptr;
        std::shared_ptr<T> object = std::dynamic_pointer_cast<T>(it->second);
        if (object)
            objects.erase(it);
        return object;
    }

    // Drops every object, newest first; used when the library is unloaded.
    void clear();

private:
    std::shared_ptr<HandleObject> lookup(uint32_t handle);

    std::mutex lock;
    uint32_t next = 33;
    std::unordered_map<uint32_t, std::shared_ptr<HandleObject>> objects;
};
