#pragma once

// Clang's thread-safety annotations, and a mutex that carries them: what a lock guards is written
// next to it, and a clang build (-Wthread-safety) checks every access. Other compilers see plain
// code.

#include <mutex>

#if defined(__clang__)
#define PROGEN_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define PROGEN_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) PROGEN_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY PROGEN_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) PROGEN_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) PROGEN_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) PROGEN_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) PROGEN_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) PROGEN_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) PROGEN_THREAD_ANNOTATION(release_capability(__VA_ARGS__))

namespace platform {

class CAPABILITY("mutex") Mutex {
public:
    void Lock() ACQUIRE() { mutex_.lock(); }
    void Unlock() RELEASE() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

// Holds a Mutex for its scope.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.Lock(); }
    ~MutexLock() RELEASE() { mutex_.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& mutex_;
};

} // namespace platform
