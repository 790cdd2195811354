#pragma once

// The live objects behind one kind of handle. A handle is the object's address, but it is only
// ever dereferenced after the table has found it, so a stale, foreign or null handle is refused
// instead of being followed.

#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform {

template <class Object>
class HandleTable {
public:
    Object* Add(std::unique_ptr<Object> object) {
        Object* handle = object.get();
        const std::lock_guard lock(mutex_);
        objects_.emplace(handle, std::move(object));
        return handle;
    }

    // The live object behind `handle`, or nullptr.
    Object* Find(const void* handle) const {
        const std::lock_guard lock(mutex_);
        const auto found = objects_.find(handle);
        return found == objects_.end() ? nullptr : found->second.get();
    }

    // Takes the object out of the table; nullptr when `handle` is not live.
    std::unique_ptr<Object> Remove(const void* handle) {
        const std::lock_guard lock(mutex_);
        const auto found = objects_.find(handle);
        if (found == objects_.end()) {
            return nullptr;
        }
        std::unique_ptr<Object> object = std::move(found->second);
        objects_.erase(found);
        return object;
    }

private:
    friend class Probe; // the tests' leak counters

    mutable std::mutex mutex_;
    std::unordered_map<const void*, std::unique_ptr<Object>> objects_;
};

} // namespace platform
