#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <tuple>
#include <vlpc/GeometryBuilder.h>

namespace vlpc {

namespace {

Vec3 sub(Vec3 const& a, Vec3 const& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec3 add(Vec3 const& a, Vec3 const& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
Vec3 scale(Vec3 const& a, float s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}
float dot(Vec3 const& a, Vec3 const& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 cross(Vec3 const& a, Vec3 const& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
// Unit vector, or zero for a (near) zero vector.
Vec3 normalized(Vec3 const& a) {
    float const length = std::sqrt(dot(a, a));
    return length > 1e-20f ? scale(a, 1.0f / length) : Vec3{0, 0, 0};
}

// Any unit vector perpendicular to n (n a unit vector).
Vec3 perpendicular(Vec3 const& n) {
    Vec3 const axis = std::fabs(n[0]) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
    return normalized(cross(n, axis));
}

// A float's bits as a map key, with -0 the same as +0.
std::uint32_t keyBits(float f) {
    if (f == 0.0f) {
        f = 0.0f;
    }
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

using PositionKey = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;
PositionKey positionKey(Vec4 const& p) {
    return {keyBits(p[0]), keyBits(p[1]), keyBits(p[2])};
}

// Gives every triangle its own three vertices with the face normal.
MeshArrays withFlatNormals(MeshArrays const& mesh) {
    MeshArrays flat;
    std::size_t const triangles = mesh.indices.size() / 3;
    for (std::size_t t = 0; t < triangles; ++t) {
        std::uint32_t const* tri = &mesh.indices[3 * t];
        Vec3 const n = normalized(cross(sub(mesh.positions[tri[1]], mesh.positions[tri[0]]),
                                        sub(mesh.positions[tri[2]], mesh.positions[tri[0]])));
        for (int c = 0; c < 3; ++c) {
            flat.positions.push_back(mesh.positions[tri[c]]);
            flat.normals.push_back(n);
            for (std::size_t k = 0; k < mesh.uvs.size(); ++k) {
                if (!mesh.uvs[k].empty()) {
                    flat.uvs[k].push_back(mesh.uvs[k][tri[c]]);
                }
            }
            flat.indices.push_back(static_cast<std::uint32_t>(flat.indices.size()));
        }
    }
    return flat;
}

void computeSmoothNormals(std::vector<Vertex>& vertices) {
    // Distinct normals per position, so that a vertex duplicated for another
    // texture coordinate does not weigh its normal twice.
    std::map<PositionKey, std::vector<Vec3>> normalsAt;
    for (Vertex const& v : vertices) {
        std::vector<Vec3>& normals = normalsAt[positionKey(v.position)];
        bool known = false;
        for (Vec3 const& n : normals) {
            known = known || n == v.normal;
        }
        if (!known) {
            normals.push_back(v.normal);
        }
    }
    std::map<PositionKey, Vec3> smooth;
    for (auto const& [key, normals] : normalsAt) {
        Vec3 sum{0, 0, 0};
        for (Vec3 const& n : normals) {
            sum = add(sum, n);
        }
        smooth[key] = normalized(sum);
    }
    for (Vertex& v : vertices) {
        v.smoothNormal = smooth[positionKey(v.position)];
    }
}

void computeTangents(std::vector<Vertex>& vertices, std::vector<std::uint32_t> const& indices,
                     std::size_t channel) {
    std::vector<Vec3> tangents(vertices.size(), Vec3{0, 0, 0});
    std::vector<Vec3> bitangents(vertices.size(), Vec3{0, 0, 0});
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        Vertex const& a = vertices[indices[i]];
        Vertex const& b = vertices[indices[i + 1]];
        Vertex const& c = vertices[indices[i + 2]];
        Vec3 const pa{a.position[0], a.position[1], a.position[2]};
        Vec3 const e1 = sub({b.position[0], b.position[1], b.position[2]}, pa);
        Vec3 const e2 = sub({c.position[0], c.position[1], c.position[2]}, pa);
        float const du1 = b.uv[channel][0] - a.uv[channel][0];
        float const dv1 = b.uv[channel][1] - a.uv[channel][1];
        float const du2 = c.uv[channel][0] - a.uv[channel][0];
        float const dv2 = c.uv[channel][1] - a.uv[channel][1];
        float const det = du1 * dv2 - du2 * dv1;
        if (!std::isfinite(det) || std::fabs(det) < 1e-20f) {
            continue; // no texture frame on a triangle with degenerate coordinates
        }
        float const r = 1.0f / det;
        Vec3 const t = scale(sub(scale(e1, dv2), scale(e2, dv1)), r);
        Vec3 const bt = scale(sub(scale(e2, du1), scale(e1, du2)), r);
        for (std::size_t k = 0; k < 3; ++k) {
            tangents[indices[i + k]] = add(tangents[indices[i + k]], t);
            bitangents[indices[i + k]] = add(bitangents[indices[i + k]], bt);
        }
    }
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        Vec3 const n = vertices[v].normal;
        // Gram-Schmidt: the tangent made perpendicular to the normal.
        Vec3 t = normalized(sub(tangents[v], scale(n, dot(n, tangents[v]))));
        if (t == Vec3{0, 0, 0}) {
            t = perpendicular(normalized(n));
            if (t == Vec3{0, 0, 0}) {
                t = {1, 0, 0};
            }
        }
        float const w = dot(cross(n, t), bitangents[v]) < 0.0f ? -1.0f : 1.0f;
        vertices[v].tangent[channel] = {t[0], t[1], t[2], w};
    }
}

} // namespace

void ensureNormals(MeshArrays& mesh) {
    if (mesh.normals.size() != mesh.positions.size()) {
        mesh = withFlatNormals(mesh);
    }
}

GeometryRecord buildGeometry(MeshArrays const& input, std::size_t channels) {
    MeshArrays const* mesh = &input;
    MeshArrays flat;
    if (input.normals.size() != input.positions.size()) {
        flat = withFlatNormals(input);
        mesh = &flat;
    }
    GeometryRecord geometry;
    geometry.format = static_cast<std::uint8_t>(channels);
    geometry.indices = mesh->indices;
    geometry.vertices.resize(mesh->positions.size());
    for (std::size_t i = 0; i < mesh->positions.size(); ++i) {
        Vertex& v = geometry.vertices[i];
        Vec3 const& p = mesh->positions[i];
        v.position = {p[0], p[1], p[2], 1.0f};
        v.normal = normalized(mesh->normals[i]);
        for (std::size_t k = 0; k < channels; ++k) {
            v.uv[k] = mesh->uvs[k][i];
        }
    }
    computeSmoothNormals(geometry.vertices);
    for (std::size_t k = 0; k < channels; ++k) {
        computeTangents(geometry.vertices, geometry.indices, k);
    }
    return geometry;
}

void appendMesh(MeshArrays& whole, MeshArrays const& part) {
    auto const base = static_cast<std::uint32_t>(whole.positions.size());
    whole.positions.insert(whole.positions.end(), part.positions.begin(), part.positions.end());
    whole.normals.insert(whole.normals.end(), part.normals.begin(), part.normals.end());
    for (std::size_t k = 0; k < whole.uvs.size(); ++k) {
        whole.uvs[k].insert(whole.uvs[k].end(), part.uvs[k].begin(), part.uvs[k].end());
    }
    for (std::uint32_t index : part.indices) {
        whole.indices.push_back(base + index);
    }
}

Bounds computeBounds(GeometryRecord const& geometry) {
    if (geometry.vertices.empty()) {
        return {};
    }
    float const inf = std::numeric_limits<float>::infinity();
    Bounds b{{inf, inf, inf}, {-inf, -inf, -inf}};
    for (Vertex const& v : geometry.vertices) {
        for (int a = 0; a < 3; ++a) {
            b.min[a] = std::min(b.min[a], v.position[a]);
            b.max[a] = std::max(b.max[a], v.position[a]);
        }
    }
    return b;
}

} // namespace vlpc
