#include <vlpc/FormatError.h>
#include <vlpc/ManifestSections.h>
#include <vlpc/PngCheck.h>

namespace vlpc {

void compileTextures(Compilation& c, json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("textures", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry, {"name", "file"}, where);
        c.define(c.textures, entry, where, i);
        std::string const fieldAt = c.at(where, "file");
        std::string const path = c.inputPath(c.field(entry, "file", where), fieldAt);
        std::vector<std::uint8_t> png = c.readBinary(path, fieldAt);
        try {
            PngInfo const info = checkPng(png.data(), png.size());
            png.resize(info.streamSize); // anything after IEND is not part of the image
        } catch (FormatError const& e) {
            c.fail(fieldAt, "'" + path + "' is not a usable PNG file: " + e.what());
        }
        c.out.textures.textures.push_back(TextureRecord{std::move(png)});
    }
}

} // namespace vlpc
