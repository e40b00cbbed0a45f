#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>
#include <vlpc/FormatError.h>
#include <vlpc/FormatWriter.h>
#include <vlpc/OutputWriter.h>

namespace vlpc {

namespace {

namespace fs = std::filesystem;

std::string escapeForMake(std::string const& path) {
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') {
            escaped += '\\';
        } else if (c == '$') {
            escaped += '$';
        }
        escaped += c;
    }
    return escaped;
}

// Temporary files that are removed unless released.
class TemporaryFiles {
public:
    ~TemporaryFiles() {
        for (fs::path const& path : paths) {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
    void add(fs::path const& path) { paths.push_back(path); }
    void release() { paths.clear(); }

private:
    std::vector<fs::path> paths;
};

} // namespace

char const* const COMPILED_FILE_NAMES[4] = {"shaders.vlp", "textures.vlp", "models.vlp",
                                            "path.vlp"};

namespace {

// The make-style dependency rule: the four compiled files depend on the
// manifest and every input it names.
std::string depfileText(CompiledAssets const& assets, std::string const& outDir) {
    std::string content;
    for (char const* name : COMPILED_FILE_NAMES) {
        content += escapeForMake(fs::absolute(fs::path(outDir) / name).lexically_normal().string());
        content += ' ';
    }
    content.back() = ':';
    for (std::string const& input : assets.inputs) {
        content += " \\\n  " + escapeForMake(fs::absolute(input).lexically_normal().string());
    }
    content += '\n';
    return content;
}

// Writes data to a temporary file that is removed unless released; returns
// false when it cannot be written completely.
bool writeTemporary(fs::path const& path, char const* data, std::size_t size,
                    TemporaryFiles& temporaries) {
    temporaries.add(path);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(data, static_cast<std::streamsize>(size));
    file.close();
    return static_cast<bool>(file);
}

} // namespace

void writeCompiledFiles(CompiledAssets const& assets, std::string const& outDir,
                        std::function<void(std::string const&)> const& progress,
                        std::string const& depfilePath) {
    std::vector<std::vector<std::uint8_t>> images;
    try {
        images.push_back(writeShaderFile(assets.shaders));
        images.push_back(writeTextureFile(assets.textures));
        images.push_back(writeModelFile(assets.models));
        images.push_back(writePathFile(assets.paths));
    } catch (FormatError const& e) {
        throw OutputError(std::string("cannot encode the compiled files: ") + e.what());
    }

    // Every output goes to a temporary file beside it first, the depfile
    // before the folder is made; nothing is renamed until all are written.
    TemporaryFiles temporaries;
    std::string const suffix = ".tmp" + std::to_string(::getpid());
    fs::path const depfileTemporary = depfilePath + suffix;
    if (!depfilePath.empty()) {
        std::string const content = depfileText(assets, outDir);
        if (!writeTemporary(depfileTemporary, content.data(), content.size(), temporaries)) {
            throw OutputError("cannot write " + depfilePath);
        }
    }
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) {
        throw OutputError("cannot create " + outDir + ": " + ec.message());
    }
    std::vector<fs::path> temporaryPaths;
    for (std::size_t f = 0; f < images.size(); ++f) {
        fs::path const temporary = fs::path(outDir) / (COMPILED_FILE_NAMES[f] + suffix);
        if (!writeTemporary(temporary, reinterpret_cast<char const*>(images[f].data()),
                            images[f].size(), temporaries)) {
            throw OutputError("cannot write " + temporary.string());
        }
        temporaryPaths.push_back(temporary);
    }
    for (std::size_t f = 0; f < images.size(); ++f) {
        fs::path const target = fs::path(outDir) / COMPILED_FILE_NAMES[f];
        fs::rename(temporaryPaths[f], target, ec);
        if (ec) {
            throw OutputError("cannot rename " + temporaryPaths[f].string() + " to " +
                              target.string() + ": " + ec.message());
        }
        if (progress) {
            progress("wrote " + target.string() + " (" + std::to_string(images[f].size()) +
                     " bytes)");
        }
    }
    if (!depfilePath.empty()) {
        fs::rename(depfileTemporary, depfilePath, ec);
        if (ec) {
            throw OutputError("cannot write " + depfilePath + ": " + ec.message());
        }
    }
    temporaries.release();
}

} // namespace vlpc
