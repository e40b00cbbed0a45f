#pragma once

#include <Engine/Util/ThreadSafeCounter.h>

namespace Engine::Util {

// Reference-counted owner of GPU-backed asset data shared between meshes.
//
// Besides the count, all copies of one datum share a data-store limit: the
// number of references that belong to data stores rather than users. The datum
// is deleted when the count falls to that limit, so a store that keeps one
// reference (limit 1) keeps its entry and counter alive while the data itself
// is freed as soon as the last user lets go. The counter and the limit cell are
// freed when the count reaches 0.
template <typename T> class SharedPointer {
public:
    SharedPointer() = default;

    explicit SharedPointer(T* datum)
        : limit(new unsigned int(0)), data(datum), counter(new ThreadSafeCounter()) {
        ++*counter;
    }

    SharedPointer(SharedPointer const& other)
        : limit(other.limit), data(other.data), counter(other.counter) {
        if (counter) {
            ++*counter;
        }
    }

    // Counts the other first, so that self-assignment is safe.
    SharedPointer& operator=(SharedPointer const& other) {
        unsigned int* otherLimit = other.limit;
        T* otherData = other.data;
        ThreadSafeCounter* otherCounter = other.counter;
        if (otherCounter) {
            ++*otherCounter;
        }
        release();
        limit = otherLimit;
        data = otherData;
        counter = otherCounter;
        return *this;
    }

    ~SharedPointer() { release(); }

    T* Get() const { return data; }

    // The datum, or null while only store references are left (the count is
    // at the limit, so the datum has been deleted). Needs a wrapped datum.
    T* operator->() const { return counter->Count() > *limit ? data : nullptr; }

    ThreadSafeCounter* GetCounter() const { return counter; }

    // Sets the limit shared by all copies. Needs a wrapped datum.
    void DataStoreLimit(unsigned int value) { *limit = value; }
    unsigned int* DataStoreLimit() const { return limit; }

private:
    // GCC 12 cannot see that the counter is deleted only when the last holder
    // lets go, and warns when it inlines two releases of one datum.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
    void release() {
        if (!counter) {
            return;
        }
        --*counter;
        if (counter->Count() == *limit) {
            delete data;
        }
        if (counter->Count() == 0) {
            delete counter;
            delete limit;
        }
        limit = nullptr;
        data = nullptr;
        counter = nullptr;
    }
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

    unsigned int* limit = nullptr;
    T* data = nullptr;
    ThreadSafeCounter* counter = nullptr;
};

} // namespace Engine::Util
