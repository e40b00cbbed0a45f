#pragma once

// Test-only writer of the compiled asset files: builds records and whole files
// byte by byte in their packed little-endian layouts, so that tests (and the
// fuzzer's seed corpus) can make valid files and damage them on purpose.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace TestAssets {

using Bytes = std::vector<unsigned char>;

// Appends little-endian values to a byte vector.
class Writer {
public:
    Writer& u8(unsigned int v) {
        bytes.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    Writer& u16(unsigned int v) {
        u8(v & 0xFF);
        return u8((v >> 8) & 0xFF);
    }
    Writer& u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        return u16(v >> 16);
    }
    Writer& f32(float f) {
        std::uint32_t v = 0;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Writer& floats(std::initializer_list<float> values) {
        for (float f : values) {
            f32(f);
        }
        return *this;
    }
    Writer& raw(Bytes const& data) {
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
    Bytes bytes;
};

// A shader stage text as stored: u16 length (counting the terminating zero),
// the text and the zero; an absent stage is length 0.
inline void shaderText(Writer& w, std::string const& text) {
    if (text.empty()) {
        w.u16(0);
        return;
    }
    w.u16(static_cast<unsigned int>(text.size() + 1));
    for (char c : text) {
        w.u8(static_cast<unsigned char>(c));
    }
    w.u8(0);
}

inline Bytes shaderRecord(std::string const& vertex, std::string const& tessControl,
                          std::string const& tessEvaluation, std::string const& geometry,
                          std::string const& fragment) {
    Writer w;
    shaderText(w, vertex);
    shaderText(w, tessControl);
    shaderText(w, tessEvaluation);
    shaderText(w, geometry);
    shaderText(w, fragment);
    return w.bytes;
}

// Material parts.
inline Bytes diffuseColorPart(float r, float g, float b, float emit) {
    return Writer().u16(0).floats({r, g, b, emit}).bytes;
}
inline Bytes specularColorPart(float r, float g, float b, std::uint32_t shininess) {
    return Writer().u16(1).floats({r, g, b}).u32(shininess).bytes;
}
inline Bytes texturePart(unsigned int type, unsigned int textureId) {
    return Writer().u16(type).u16(textureId).bytes;
}

inline Bytes materialRecord(unsigned int shaderId, std::vector<Bytes> const& parts) {
    Writer w;
    w.u16(shaderId).u8(static_cast<unsigned int>(parts.size()));
    for (Bytes const& part : parts) {
        w.raw(part);
    }
    return w.bytes;
}

// One vertex of either layout as plain floats.
struct Vertex {
    float position[4] = {0, 0, 0, 1};
    float normal[3] = {0, 0, 0};
    float smoothNormal[3] = {0, 0, 0};
    float uv0[2] = {0, 0};
    float tangent0[4] = {0, 0, 0, 1};
    float uv1[2] = {0, 0};
    float tangent1[4] = {0, 0, 0, 1};
};

// A vertex whose every float is distinct and derived from seed.
inline Vertex numberedVertex(float seed) {
    Vertex v;
    float n = seed;
    for (float* group : {v.position, v.normal, v.smoothNormal}) {
        int const count = group == v.position ? 4 : 3;
        for (int i = 0; i < count; ++i) {
            group[i] = n++;
        }
    }
    for (float& f : v.uv0) {
        f = n++;
    }
    for (float& f : v.tangent0) {
        f = n++;
    }
    for (float& f : v.uv1) {
        f = n++;
    }
    for (float& f : v.tangent1) {
        f = n++;
    }
    return v;
}

inline Bytes geometryRecord(unsigned int format, std::vector<Vertex> const& vertices,
                            std::vector<std::uint32_t> const& indices) {
    Writer w;
    w.u8(format).u32(static_cast<std::uint32_t>(vertices.size()));
    for (Vertex const& v : vertices) {
        for (float f : v.position) {
            w.f32(f);
        }
        for (float f : v.normal) {
            w.f32(f);
        }
        for (float f : v.smoothNormal) {
            w.f32(f);
        }
        if (format != 0) {
            w.floats({v.uv0[0], v.uv0[1]});
            w.floats({v.tangent0[0], v.tangent0[1], v.tangent0[2], v.tangent0[3]});
            w.floats({v.uv1[0], v.uv1[1]});
            w.floats({v.tangent1[0], v.tangent1[1], v.tangent1[2], v.tangent1[3]});
        }
    }
    w.u32(static_cast<std::uint32_t>(indices.size()));
    for (std::uint32_t i : indices) {
        w.u32(i);
    }
    return w.bytes;
}

struct PathPoint {
    float time;
    float x, y, z;
};

inline Bytes pathRecord(std::vector<PathPoint> const& points) {
    Writer w;
    w.u16(static_cast<unsigned int>(points.size()));
    for (PathPoint const& p : points) {
        w.floats({p.time, p.x, p.y, p.z});
    }
    return w.bytes;
}

// Model records: component records wrap their data with type and length.
inline Bytes component(unsigned int type, Bytes const& data) {
    return Writer().u16(type).u16(static_cast<unsigned int>(data.size())).raw(data).bytes;
}

inline Bytes modelRecord(std::vector<Bytes> const& components) {
    Writer w;
    w.u16(static_cast<unsigned int>(components.size()));
    for (Bytes const& c : components) {
        w.raw(c);
    }
    return w.bytes;
}

// A mesh node with geometry; matrix column-major, children already encoded.
inline Bytes meshNode(float const (&matrix)[16], float const (&boxMin)[3], float const (&boxMax)[3],
                      unsigned int geometryId, unsigned int materialId,
                      std::vector<std::pair<unsigned int, unsigned int>> const& mapping,
                      std::vector<Bytes> const& children) {
    Writer w;
    w.u8(0);
    for (float f : matrix) {
        w.f32(f);
    }
    w.floats({boxMin[0], boxMin[1], boxMin[2], boxMax[0], boxMax[1], boxMax[2]});
    w.u16(geometryId).u16(materialId).u8(static_cast<unsigned int>(mapping.size()));
    for (auto const& pair : mapping) {
        w.u8(pair.first).u8(pair.second);
    }
    w.u16(static_cast<unsigned int>(children.size()));
    for (Bytes const& child : children) {
        w.raw(child);
    }
    return w.bytes;
}

inline Bytes groupNode(std::vector<Bytes> const& children) {
    Writer w;
    w.u8(1).u16(static_cast<unsigned int>(children.size()));
    for (Bytes const& child : children) {
        w.raw(child);
    }
    return w.bytes;
}

inline Bytes pointLight(float intensity, bool specular, float const (&location)[4],
                        bool castsShadow) {
    Writer w;
    w.u16(0).floats({intensity, intensity, intensity}).u8(specular ? 1 : 0);
    w.floats({location[0], location[1], location[2], location[3]});
    w.floats({1.0f, 0.5f, 0.25f}).u8(castsShadow ? 1 : 0);
    return w.bytes;
}

inline Bytes spotLight(float intensity, bool specular, float const (&location)[4],
                       float const (&direction)[3], float angle, float exponent, bool castsShadow) {
    Writer w;
    w.u16(1).floats({intensity, intensity, intensity}).u8(specular ? 1 : 0);
    w.floats({location[0], location[1], location[2], location[3]});
    w.floats({direction[0], direction[1], direction[2], angle, exponent});
    w.floats({1.0f, 0.5f, 0.25f}).u8(castsShadow ? 1 : 0);
    return w.bytes;
}

inline Bytes lightComponentData(std::vector<Bytes> const& lights) {
    Writer w;
    w.u16(static_cast<unsigned int>(lights.size()));
    for (Bytes const& light : lights) {
        w.raw(light);
    }
    return w.bytes;
}

// Whole files. Each dictionary lists its records by id; the records are laid
// out after all dictionaries, in reverse id order when reversed is set (the
// format allows any order).
struct Section {
    std::vector<Bytes> records;
};

inline Bytes assemble(bool hasVersion, unsigned int version, std::vector<Section> const& sections,
                      bool reversed = false) {
    std::size_t header = hasVersion ? 2 : 0;
    for (Section const& s : sections) {
        header += 2 + 10 * s.records.size();
    }
    // Offsets of every record, in the order they are laid out.
    std::vector<std::vector<std::uint32_t>> offsets(sections.size());
    std::uint32_t next = static_cast<std::uint32_t>(header);
    Bytes payload;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        std::size_t const count = sections[s].records.size();
        offsets[s].resize(count);
        for (std::size_t k = 0; k < count; ++k) {
            std::size_t const id = reversed ? count - 1 - k : k;
            offsets[s][id] = next;
            Bytes const& record = sections[s].records[id];
            payload.insert(payload.end(), record.begin(), record.end());
            next += static_cast<std::uint32_t>(record.size());
        }
    }
    Writer w;
    if (hasVersion) {
        w.u16(version);
    }
    for (std::size_t s = 0; s < sections.size(); ++s) {
        std::size_t const count = sections[s].records.size();
        w.u16(static_cast<unsigned int>(count));
        for (std::size_t id = 0; id < count; ++id) {
            w.u16(static_cast<unsigned int>(id)).u32(offsets[s][id]);
            w.u32(static_cast<std::uint32_t>(sections[s].records[id].size()));
        }
    }
    w.raw(payload);
    return w.bytes;
}

inline Bytes shaderFile(std::vector<Bytes> const& shaders, unsigned int version = 1) {
    return assemble(true, version, {{shaders}});
}
inline Bytes textureFile(std::vector<Bytes> const& textures) {
    return assemble(false, 0, {{textures}});
}
inline Bytes pathFile(std::vector<Bytes> const& paths) {
    return assemble(false, 0, {{paths}}, true);
}
inline Bytes modelFile(std::vector<Bytes> const& materials, std::vector<Bytes> const& geometries,
                       std::vector<Bytes> const& models, unsigned int version = 4) {
    return assemble(true, version, {{materials}, {geometries}, {models}}, true);
}

inline void writeFile(std::filesystem::path const& path, Bytes const& bytes) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// A fresh directory below the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "engine-assets-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) {
            std::filesystem::remove_all(path, ignored);
        }
    }
    TempDir(TempDir const&) = delete;
    TempDir& operator=(TempDir const&) = delete;

    std::filesystem::path const& Path() const { return path; }
    // The path with a trailing slash, as the factory's directory.
    std::string Directory() const { return path.string() + "/"; }

private:
    std::filesystem::path path;
};

} // namespace TestAssets
