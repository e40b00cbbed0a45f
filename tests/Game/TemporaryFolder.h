#pragma once

#include <string>

namespace GameTestSupport {

// A fresh, empty folder below the system's temporary folder, removed with all
// its contents when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(TemporaryFolder const&) = delete;
    TemporaryFolder& operator=(TemporaryFolder const&) = delete;

    std::string const& Path() const { return path; }
    // Path() + "/" + name.
    std::string operator/(std::string const& name) const { return path + "/" + name; }

private:
    std::string path;
};

} // namespace GameTestSupport
