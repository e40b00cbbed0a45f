#include <fstream>
#include <sstream>
#include <vlpc/Compilation.h>
#include <vlpc/GeometryBuilder.h>

namespace vlpc {

Compilation::Compilation(std::string const& manifestPath,
                         ManifestCompiler::Progress const& progress)
    : ManifestFields(manifestPath), progress(progress),
      baseDir(std::filesystem::path(manifestPath).parent_path()),
      importer([this](std::string const& line) { report(line); }) {
    out.inputs.push_back(manifestPath);
    inputsSeen.insert(manifestPath);
}

void Compilation::warn(std::string const& where, std::string const& text) {
    out.warnings.push_back(message(where, "warning: " + text));
}

std::string Compilation::inputPath(json const& value, std::string const& where) {
    std::filesystem::path const relative = text(value, where);
    std::string const path = (relative.is_absolute() ? relative : baseDir / relative).string();
    if (inputsSeen.insert(path).second) {
        out.inputs.push_back(path);
    }
    return path;
}

std::string Compilation::readText(std::string const& path, std::string const& where) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(where, "cannot read '" + path + "'");
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::uint8_t> Compilation::readBinary(std::string const& path,
                                                  std::string const& where) const {
    std::string const content = readText(path, where);
    return std::vector<std::uint8_t>(content.begin(), content.end());
}

void Compilation::define(NameTable& table, json const& entry, std::string const& where,
                         std::size_t id) {
    std::string const name = text(field(entry, "name", where), at(where, "name"));
    auto const found = table.definedAt.find(name);
    if (found != table.definedAt.end()) {
        fail(at(where, "name"), "duplicate " + std::string(table.kind) + " name '" + name +
                                    "' (also " + found->second + ")");
    }
    table.ids[name] = static_cast<std::uint16_t>(id);
    table.definedAt[name] = where;
}

std::uint16_t Compilation::lookup(NameTable const& table, json const& value,
                                  std::string const& where) const {
    std::string const name = text(value, where);
    auto const found = table.ids.find(name);
    if (found == table.ids.end()) {
        fail(where, "unknown " + std::string(table.kind) + " '" + name + "'");
    }
    return found->second;
}

void Compilation::setGeometry(MeshNode& node, std::uint16_t geometry) const {
    node.geometry = geometry;
    Bounds const bounds = computeBounds(out.models.geometries[geometry]);
    node.boundsMin = bounds.min;
    node.boundsMax = bounds.max;
}

void Compilation::checkMapping(UVMapping const& mapping, std::uint16_t geometry,
                               std::string const& what, std::string const& where) const {
    std::uint8_t const channels = out.models.geometries[geometry].format;
    for (auto const& [key, channel] : mapping) {
        if (channel >= channels) {
            fail(at(where, "uvMapping"), "channel " + std::to_string(channel) + " of " + what +
                                             ", which has " + std::to_string(channels) +
                                             " texture channel(s)");
        }
    }
}

void Compilation::checkTexturedMaterial(std::uint16_t material, std::uint16_t geometry,
                                        std::string const& where) {
    if (out.models.geometries[geometry].format != format::FORMAT_BASE) {
        return;
    }
    for (MaterialPart const& part : out.models.materials[material].parts) {
        if (part.type >= format::PART_DIFFUSE_TEXTURE) {
            warn(where, "material with texture parts on a geometry without texture channels");
            return;
        }
    }
}

} // namespace vlpc
