#include <vlpc/FormatRecords.h>

namespace vlpc {

bool Vertex::operator==(Vertex const& other) const {
    return position == other.position && normal == other.normal &&
           smoothNormal == other.smoothNormal && uv == other.uv && tangent == other.tangent;
}

bool MaterialPart::operator==(MaterialPart const& other) const {
    if (type != other.type) {
        return false;
    }
    switch (type) {
    case format::PART_DIFFUSE_COLOR:
        return color == other.color && emit == other.emit;
    case format::PART_SPECULAR_COLOR:
        return color == other.color && shininess == other.shininess;
    default:
        return texture == other.texture;
    }
}

bool GeometryRecord::operator==(GeometryRecord const& other) const {
    if (format != other.format || indices != other.indices ||
        vertices.size() != other.vertices.size()) {
        return false;
    }
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        Vertex const& a = vertices[i];
        Vertex const& b = other.vertices[i];
        bool const same = format == format::FORMAT_BASE
                              ? a.position == b.position && a.normal == b.normal &&
                                    a.smoothNormal == b.smoothNormal
                              : a == b;
        if (!same) {
            return false;
        }
    }
    return true;
}

bool MeshNode::operator==(MeshNode const& other) const {
    if ((group != 0) != (other.group != 0) || children != other.children) {
        return false;
    }
    if (group != 0) {
        return true;
    }
    return matrix == other.matrix && boundsMin == other.boundsMin && boundsMax == other.boundsMax &&
           geometry == other.geometry && material == other.material && uvMapping == other.uvMapping;
}

bool LightRecord::operator==(LightRecord const& other) const {
    if (kind != other.kind) {
        return false;
    }
    if (kind != format::LIGHT_KIND_POINT && kind != format::LIGHT_KIND_SPOT) {
        return true;
    }
    bool const common = intensity == other.intensity && specular == other.specular &&
                        location == other.location && attenuation == other.attenuation &&
                        castsShadow == other.castsShadow;
    if (kind == format::LIGHT_KIND_POINT) {
        return common;
    }
    return common && direction == other.direction && coneAngle == other.coneAngle &&
           exponent == other.exponent;
}

bool ComponentRecord::operator==(ComponentRecord const& other) const {
    if (type != other.type) {
        return false;
    }
    switch (type) {
    case COMPONENT_MESH_DRAW:
        return mesh == other.mesh;
    case COMPONENT_LIGHT:
        return lights == other.lights;
    case COMPONENT_PATH_ANIMATION:
        return positionPath == other.positionPath && lookAtPath == other.lookAtPath;
    case COMPONENT_BSP_DRAW:
        return material == other.material && geometry == other.geometry;
    default:
        return rawData == other.rawData;
    }
}

} // namespace vlpc
