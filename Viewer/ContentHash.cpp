#include <Viewer/ContentHash.h>
#include <cstdio>
#include <fstream>

namespace Viewer {

void ContentHash::Add(void const* bytes, std::size_t size) {
    auto const* p = static_cast<unsigned char const*>(bytes);
    for (std::size_t i = 0; i < size; ++i) {
        value = (value ^ p[i]) * 1099511628211ull;
    }
}

bool ContentHash::AddFile(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        Add(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

std::string ContentHash::Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string ContentHash::OfFile(std::string const& path) {
    ContentHash hash;
    return hash.AddFile(path) ? hash.Hex() : std::string();
}

} // namespace Viewer
