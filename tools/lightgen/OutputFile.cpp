#include <filesystem>
#include <fstream>
#include <lightgen/OutputFile.h>
#include <stdexcept>
#include <unistd.h>

namespace lightgen {

namespace fs = std::filesystem;

void writeFileAtomically(std::string const& path, std::vector<std::uint8_t> const& bytes) {
    fs::path const target(path);
    std::error_code ec;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) {
            throw std::runtime_error("cannot create the folder of " + path + ": " + ec.message());
        }
    }
    fs::path const temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<char const*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            fs::remove(temporary, ec);
            throw std::runtime_error("cannot write " + temporary.string());
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw std::runtime_error("cannot rename " + temporary.string() + " to " + path + ": " +
                                 ec.message());
    }
}

} // namespace lightgen
