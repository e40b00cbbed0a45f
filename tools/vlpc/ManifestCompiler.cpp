#include <fstream>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/ManifestReader.h>
#include <vlpc/ManifestSections.h>

namespace vlpc {

ManifestCompiler::ManifestCompiler(Progress progress) : progress(std::move(progress)) {}

CompiledAssets ManifestCompiler::compile(std::string const& manifestPath) const {
    if (progress) {
        progress("reading " + manifestPath);
    }
    std::ifstream in(manifestPath, std::ios::binary);
    if (!in) {
        throw ManifestError(manifestPath + ": cannot read the manifest");
    }
    ManifestReader reader;
    if (!json::sax_parse(in, &reader, json::input_format_t::json, true, true)) {
        throw ManifestError(manifestPath + ": " + reader.error);
    }
    json const& manifest = reader.document;
    Compilation compilation(manifestPath, progress);
    compilation.object(manifest, "");
    compilation.allowFields(
        manifest, {"shaders", "textures", "materials", "geometries", "paths", "models"}, "");
    auto section = [&](char const* key, void (*compileSection)(Compilation&, json const&)) {
        json const* list = compilation.optionalField(manifest, key);
        if (list == nullptr) {
            return;
        }
        compilation.array(*list, key);
        if (list->size() > Compilation::MAX_ID + 1) {
            compilation.fail(key, "too many entries (at most " +
                                      std::to_string(Compilation::MAX_ID + 1) + ")");
        }
        compileSection(compilation, *list);
    };
    section("shaders", &compileShaders);
    section("textures", &compileTextures);
    section("materials", &compileMaterials);
    section("geometries", &compileGeometries);
    section("paths", &compilePaths);
    section("models", &compileModels);
    return std::move(compilation.out);
}

} // namespace vlpc
