#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vlpc/FormatDump.h>
#include <vlpc/FormatError.h>
#include <vlpc/LightLookupFormat.h>

namespace vlpc {

namespace {

namespace fs = std::filesystem;

template <std::size_t N> std::string vec(std::array<float, N> const& v) {
    std::ostringstream s;
    s << '(';
    for (std::size_t i = 0; i < N; ++i) {
        s << (i ? ", " : "") << v[i];
    }
    s << ')';
    return s.str();
}

void dumpDictionary(std::ostream& out, char const* title,
                    std::vector<DictionaryEntry> const& entries) {
    out << title << " (" << entries.size() << (entries.size() == 1 ? " entry)\n" : " entries)\n");
    for (std::size_t id = 0; id < entries.size(); ++id) {
        out << "  Id: " << id << "  Offset: " << entries[id].offset
            << "  Size: " << entries[id].size << '\n';
    }
}

void dumpNotes(std::ostream& out, std::vector<std::string> const& notes) {
    for (std::string const& note : notes) {
        out << "note: " << note << '\n';
    }
}

char const* partName(std::uint16_t type) {
    switch (type) {
    case format::PART_DIFFUSE_COLOR:
        return "diffuse colour";
    case format::PART_SPECULAR_COLOR:
        return "specular colour";
    case format::PART_DIFFUSE_TEXTURE:
        return "diffuse texture";
    case format::PART_NORMAL_TEXTURE:
        return "normal texture";
    default:
        return "displacement texture";
    }
}

char const* mappingKeyName(std::uint8_t key) {
    switch (key) {
    case format::UV_MAP_DIFFUSE:
        return "diffuse";
    case format::UV_MAP_NORMAL:
        return "normal";
    default:
        return "displacement";
    }
}

std::string formatName(std::uint8_t code) {
    switch (code) {
    case format::FORMAT_BASE:
        return "BaseVertex, no texture channels";
    case format::FORMAT_UV1:
        return "UVVertex, 1 texture channel";
    default:
        return "UVVertex, 2 texture channels";
    }
}

// The first line that says more than the version, shortened.
std::string firstLine(std::string const& text) {
    std::istringstream lines(text);
    std::string line;
    std::string first;
    while (std::getline(lines, line)) {
        if (first.empty()) {
            first = line;
        }
        if (!line.empty() && line.rfind("#version", 0) != 0) {
            first = line;
            break;
        }
    }
    return first.size() > 60 ? first.substr(0, 57) + "..." : first;
}

void dumpMesh(std::ostream& out, MeshNode const& node, std::string const& indent) {
    if (node.group != 0) {
        out << indent << "group, " << node.children.size() << " children\n";
    } else {
        out << indent << "mesh: geometry " << node.geometry << ", material " << node.material
            << ", bounds " << vec(node.boundsMin) << " .. " << vec(node.boundsMax);
        if (!node.uvMapping.empty()) {
            out << ", channels {";
            for (std::size_t m = 0; m < node.uvMapping.size(); ++m) {
                out << (m ? ", " : "") << mappingKeyName(node.uvMapping[m].first) << ": "
                    << int(node.uvMapping[m].second);
            }
            out << '}';
        }
        out << ", " << node.children.size() << " children\n";
        out << indent << "  matrix " << vec(node.matrix) << '\n';
    }
    for (MeshNode const& child : node.children) {
        dumpMesh(out, child, indent + "  ");
    }
}

void dumpLight(std::ostream& out, LightRecord const& light) {
    if (light.kind == format::LIGHT_KIND_POINT) {
        out << "    point light";
    } else if (light.kind == format::LIGHT_KIND_SPOT) {
        out << "    spot light";
    } else {
        out << "    light kind " << light.kind << " (no light)\n";
        return;
    }
    out << ": intensity " << vec(light.intensity) << ", specular "
        << (light.specular ? "on" : "off") << ", location " << vec(light.location);
    if (light.kind == format::LIGHT_KIND_SPOT) {
        out << ", direction " << vec(light.direction) << ", cone " << light.coneAngle
            << " degrees, exponent " << light.exponent;
    }
    out << ", attenuation " << vec(light.attenuation) << ", casts shadow "
        << (light.castsShadow ? "yes" : "no") << '\n';
}

void dumpComponent(std::ostream& out, ComponentRecord const& c) {
    switch (c.type) {
    case COMPONENT_POSITION:
        out << "  position\n";
        break;
    case COMPONENT_MESH_DRAW:
        out << "  mesh draw\n";
        dumpMesh(out, c.mesh, "    ");
        break;
    case COMPONENT_COLLISION:
        out << "  collision\n";
        break;
    case COMPONENT_LIGHT:
        out << "  light, " << c.lights.size() << " lights\n";
        for (LightRecord const& light : c.lights) {
            dumpLight(out, light);
        }
        break;
    case COMPONENT_PATH_ANIMATION:
        out << "  path animation: position path " << c.positionPath << ", look-at path "
            << c.lookAtPath << '\n';
        break;
    case COMPONENT_BSP_DRAW:
        out << "  BSP draw: material " << c.material << ", geometry " << c.geometry << '\n';
        break;
    default:
        out << "  component type " << c.type << " (no component)\n";
        break;
    }
    if (!c.rawData.empty()) {
        out << "    " << c.rawData.size() << " bytes of data, not read by the loader\n";
    }
}

} // namespace

std::optional<FileKind> fileKindFromName(std::string const& path) {
    std::string const name = fs::path(path).filename().string();
    if (name == "shaders.vlp") {
        return FileKind::Shaders;
    }
    if (name == "textures.vlp") {
        return FileKind::Textures;
    }
    if (name == "models.vlp") {
        return FileKind::Models;
    }
    if (name == "path.vlp") {
        return FileKind::Paths;
    }
    if (name == "lightlookup.vlp") {
        return FileKind::LightLookup;
    }
    return std::nullopt;
}

std::optional<FileKind> fileKindFromWord(std::string const& word) {
    if (word == "shaders") {
        return FileKind::Shaders;
    }
    if (word == "textures") {
        return FileKind::Textures;
    }
    if (word == "models") {
        return FileKind::Models;
    }
    if (word == "path" || word == "paths") {
        return FileKind::Paths;
    }
    if (word == "lightlookup") {
        return FileKind::LightLookup;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> readFileBytes(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FormatError("cannot open " + path);
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw FormatError("cannot read " + path);
    }
    return bytes;
}

void dumpShaders(ShaderFileContents const& contents, std::ostream& out,
                 DumpOptions const& options) {
    static char const* const names[format::SHADER_STAGE_COUNT] = {
        "vertex", "tessellation control", "tessellation evaluation", "geometry", "fragment"};
    out << "shader file, version " << format::SHADER_FILE_VERSION << ", "
        << contents.file.shaders.size() << " shaders\n";
    dumpDictionary(out, "ShaderDictionary", contents.dictionary);
    for (std::size_t id = 0; id < contents.file.shaders.size(); ++id) {
        out << "Shader " << id << '\n';
        for (std::size_t s = 0; s < format::SHADER_STAGE_COUNT; ++s) {
            std::string const& text = contents.file.shaders[id].stages[s];
            out << "  " << names[s] << ": ";
            if (text.empty()) {
                out << "none\n";
                continue;
            }
            out << text.size() + 1 << " bytes, \"" << firstLine(text) << "\"\n";
            if (options.verbose) {
                std::istringstream lines(text);
                for (std::string line; std::getline(lines, line);) {
                    out << "    | " << line << '\n';
                }
            }
        }
    }
    dumpNotes(out, contents.notes);
}

void dumpTextures(TextureFileContents const& contents, std::ostream& out) {
    out << "texture file, " << contents.file.textures.size() << " textures\n";
    dumpDictionary(out, "TextureDictionary", contents.dictionary);
    for (std::size_t id = 0; id < contents.images.size(); ++id) {
        PngInfo const& png = contents.images[id];
        out << "Texture " << id << ": PNG " << png.width << " x " << png.height << ", "
            << pngColorTypeName(png.colorType) << ", " << int(png.bitDepth) << " bits"
            << (png.hasTransparency ? ", transparency" : "") << (png.hasGamma ? ", gamma" : "")
            << ", " << png.streamSize << " bytes\n";
    }
    dumpNotes(out, contents.notes);
}

void dumpModels(ModelFileContents const& contents, std::ostream& out, DumpOptions const& options) {
    ModelFile const& file = contents.file;
    out << "model file, version " << format::MODEL_FILE_VERSION << ", " << file.materials.size()
        << " materials, " << file.geometries.size() << " geometries, " << file.models.size()
        << " models\n";
    dumpDictionary(out, "MaterialDictionary", contents.materialDictionary);
    dumpDictionary(out, "GeometryDictionary", contents.geometryDictionary);
    dumpDictionary(out, "ModelDictionary", contents.modelDictionary);
    for (std::size_t id = 0; id < file.materials.size(); ++id) {
        MaterialRecord const& m = file.materials[id];
        out << "Material " << id << ": shader " << m.shader << ", " << m.parts.size() << " parts\n";
        for (MaterialPart const& part : m.parts) {
            out << "  " << partName(part.type);
            if (part.type == format::PART_DIFFUSE_COLOR) {
                out << ' ' << vec(part.color) << ", emit " << part.emit;
            } else if (part.type == format::PART_SPECULAR_COLOR) {
                out << ' ' << vec(part.color) << ", shininess " << part.shininess;
            } else {
                out << ' ' << part.texture;
            }
            out << '\n';
        }
    }
    for (std::size_t id = 0; id < file.geometries.size(); ++id) {
        GeometryRecord const& g = file.geometries[id];
        out << "Geometry " << id << ": format " << int(g.format) << " (" << formatName(g.format)
            << "), " << g.vertices.size() << " vertices, " << g.indices.size() / 3
            << " triangles\n";
        if (!options.verbose) {
            continue;
        }
        for (std::size_t v = 0; v < g.vertices.size(); ++v) {
            Vertex const& x = g.vertices[v];
            out << "  v" << v << ": position " << vec(x.position) << ", normal " << vec(x.normal)
                << ", smooth " << vec(x.smoothNormal);
            for (std::size_t k = 0; k < g.format; ++k) {
                out << ", uv" << k << ' ' << vec(x.uv[k]) << ", tangent" << k << ' '
                    << vec(x.tangent[k]);
            }
            out << '\n';
        }
        for (std::size_t i = 0; i + 2 < g.indices.size(); i += 3) {
            out << "  t" << i / 3 << ": " << g.indices[i] << ' ' << g.indices[i + 1] << ' '
                << g.indices[i + 2] << '\n';
        }
    }
    for (std::size_t id = 0; id < file.models.size(); ++id) {
        ModelRecord const& model = file.models[id];
        out << "Model " << id << ": " << model.components.size() << " components\n";
        for (ComponentRecord const& component : model.components) {
            dumpComponent(out, component);
        }
    }
    dumpNotes(out, contents.notes);
}

void dumpPaths(PathFileContents const& contents, std::ostream& out) {
    out << "path file, " << contents.file.paths.size() << " paths\n";
    dumpDictionary(out, "PathDictionary", contents.dictionary);
    for (std::size_t id = 0; id < contents.file.paths.size(); ++id) {
        PathRecord const& path = contents.file.paths[id];
        out << "Path " << id << ": " << path.points.size() << " points\n";
        for (PathPoint const& p : path.points) {
            out << "  time " << p.time << ": " << vec(p.position) << '\n';
        }
    }
    dumpNotes(out, contents.notes);
}

void dumpFile(std::string const& path, FileKind kind, std::ostream& out,
              DumpOptions const& options) {
    std::vector<std::uint8_t> const bytes = readFileBytes(path);
    if (bytes.size() > format::MAX_FILE_SIZE) {
        throw FormatError(path + " is larger than 4 GiB, beyond the reach of its offsets");
    }
    std::ostringstream listing;
    try {
        switch (kind) {
        case FileKind::Shaders:
            dumpShaders(readShaderFile(bytes), listing, options);
            break;
        case FileKind::Textures:
            dumpTextures(readTextureFile(bytes), listing);
            break;
        case FileKind::Paths:
            dumpPaths(readPathFile(bytes), listing);
            break;
        case FileKind::LightLookup:
            dumpLightLookup(readLightLookupFile(bytes), listing);
            break;
        case FileKind::Models: {
            // Ids into the other files are checked against the files beside
            // this one, where they can be read.
            ReferenceCounts refs;
            fs::path const dir = fs::path(path).parent_path();
            auto countOf = [&](char const* name, bool hasVersion) -> std::optional<std::size_t> {
                fs::path const sibling = dir / name;
                std::error_code ec;
                if (!fs::is_regular_file(sibling, ec)) {
                    return std::nullopt;
                }
                try {
                    return readDictionaryCount(readFileBytes(sibling.string()), hasVersion);
                } catch (FormatError const&) {
                    return std::nullopt;
                }
            };
            refs.shaders = countOf("shaders.vlp", true);
            refs.textures = countOf("textures.vlp", false);
            refs.paths = countOf("path.vlp", false);
            ModelFileContents const contents = readModelFile(bytes, refs);
            dumpModels(contents, listing, options);
            listing << "references checked against:" << (refs.shaders ? " shaders.vlp" : "")
                    << (refs.textures ? " textures.vlp" : "") << (refs.paths ? " path.vlp" : "")
                    << (refs.shaders || refs.textures || refs.paths ? "" : " none") << '\n';
            break;
        }
        }
    } catch (FormatError const& e) {
        throw FormatError(path + ": " + e.what());
    }
    out << path << ": " << listing.str() << "OK\n";
}

} // namespace vlpc
