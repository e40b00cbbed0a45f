#pragma once

#include <Engine/Export.h>

namespace Engine::Util {

// Reference count of a SharedPointer. Despite the name it is a plain counter:
// all shared pointers live on the thread that owns the OpenGL context.
class ENGINE_API ThreadSafeCounter {
public:
    ThreadSafeCounter() = default;

    ThreadSafeCounter& operator++() {
        ++count;
        return *this;
    }
    ThreadSafeCounter& operator--() {
        --count;
        return *this;
    }
    unsigned int const& Count() { return count; }

private:
    unsigned int count = 0;
};

} // namespace Engine::Util
