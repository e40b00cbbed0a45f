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

void writeCompiledFiles(CompiledAssets const& assets, std::string const& outDir,
                        std::function<void(std::string const&)> const& progress) {
    std::vector<std::vector<std::uint8_t>> images;
    try {
        images.push_back(writeShaderFile(assets.shaders));
        images.push_back(writeTextureFile(assets.textures));
        images.push_back(writeModelFile(assets.models));
        images.push_back(writePathFile(assets.paths));
    } catch (FormatError const& e) {
        throw OutputError(std::string("cannot encode the compiled files: ") + e.what());
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec) {
        throw OutputError("cannot create " + outDir + ": " + ec.message());
    }
    TemporaryFiles temporaries;
    std::vector<fs::path> temporaryPaths;
    std::string const suffix = ".tmp" + std::to_string(::getpid());
    for (std::size_t f = 0; f < images.size(); ++f) {
        fs::path const temporary = fs::path(outDir) / (COMPILED_FILE_NAMES[f] + suffix);
        temporaries.add(temporary);
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<char const*>(images[f].data()),
                   static_cast<std::streamsize>(images[f].size()));
        file.close();
        if (!file) {
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
    temporaries.release();
}

void writeDepfile(CompiledAssets const& assets, std::string const& outDir,
                  std::string const& depfilePath) {
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
    fs::path const temporary = depfilePath + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << content;
        file.close();
        if (!file) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            throw OutputError("cannot write " + depfilePath);
        }
    }
    std::error_code ec;
    fs::rename(temporary, depfilePath, ec);
    if (ec) {
        fs::remove(temporary, ec);
        throw OutputError("cannot write " + depfilePath);
    }
}

} // namespace vlpc
