#include <vlpc/ManifestSections.h>

namespace vlpc {

void compileShaders(Compilation& c, json const& list) {
    static char const* const stageKeys[format::SHADER_STAGE_COUNT] = {
        "vertex", "tessControl", "tessEvaluation", "geometry", "fragment"};
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("shaders", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry,
                      {"name", "vertex", "tessControl", "tessEvaluation", "geometry", "fragment"},
                      where);
        c.define(c.shaders, entry, where, i);
        ShaderRecord record;
        for (std::size_t s = 0; s < format::SHADER_STAGE_COUNT; ++s) {
            json const* file = c.optionalField(entry, stageKeys[s]);
            bool const required = s == format::STAGE_VERTEX || s == format::STAGE_FRAGMENT;
            if (file == nullptr) {
                if (required) {
                    c.field(entry, stageKeys[s], where);
                }
                continue;
            }
            std::string const fieldAt = c.at(where, stageKeys[s]);
            std::string const path = c.inputPath(*file, fieldAt);
            std::string source = c.readText(path, fieldAt);
            if (source.empty()) {
                c.fail(fieldAt, "'" + path + "' is empty");
            }
            if (source.find('\0') != std::string::npos) {
                c.fail(fieldAt, "'" + path + "' contains a zero byte");
            }
            if (source.size() > format::MAX_SHADER_TEXT) {
                c.fail(fieldAt, "'" + path + "' has " + std::to_string(source.size()) +
                                    " bytes; a stored text holds at most " +
                                    std::to_string(format::MAX_SHADER_TEXT));
            }
            record.stages[s] = std::move(source);
        }
        // The loader uses a tessellation pair only when both texts are there.
        if (record.stages[format::STAGE_TESS_CONTROL].empty() !=
            record.stages[format::STAGE_TESS_EVALUATION].empty()) {
            c.fail(where, "'tessControl' and 'tessEvaluation' go together");
        }
        c.out.shaders.shaders.push_back(std::move(record));
    }
}

} // namespace vlpc
