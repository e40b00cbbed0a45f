#include <algorithm>
#include <assimp/scene.h>
#include <vlpc/ManifestSections.h>
#include <vlpc/MatrixMath.h>
#include <vlpc/SceneTree.h>

namespace vlpc {

namespace {

// Levels of a mesh hierarchy, the node itself being one.
std::size_t levels(MeshNode const& node) {
    std::size_t deepest = 0;
    for (MeshNode const& child : node.children) {
        deepest = std::max(deepest, levels(child));
    }
    return deepest + 1;
}

// The node's "matrix", or its "translate", "rotate" (degrees about x, then y,
// then z) and "scale" in that order.
Mat4 transform(Compilation const& c, json const& entry, std::string const& where) {
    json const* matrix = c.optionalField(entry, "matrix");
    json const* translate = c.optionalField(entry, "translate");
    json const* rotate = c.optionalField(entry, "rotate");
    json const* scale = c.optionalField(entry, "scale");
    if (matrix != nullptr) {
        if (translate || rotate || scale) {
            c.fail(where, "give either 'matrix' or 'translate', 'rotate' and 'scale'");
        }
        return c.floats<16>(*matrix, c.at(where, "matrix"));
    }
    Mat4 result = IDENTITY_MATRIX;
    if (translate != nullptr) {
        result = translation(c.floats<3>(*translate, c.at(where, "translate")));
    }
    if (rotate != nullptr) {
        Vec3 const r = c.floats<3>(*rotate, c.at(where, "rotate"));
        result = multiply(result, rotation(2, r[2]));
        result = multiply(result, rotation(1, r[1]));
        result = multiply(result, rotation(0, r[0]));
    }
    if (scale != nullptr) {
        Vec3 s{};
        if (scale->is_number()) {
            float const v = c.number(*scale, c.at(where, "scale"));
            s = {v, v, v};
        } else {
            s = c.floats<3>(*scale, c.at(where, "scale"));
        }
        result = multiply(result, scaling(s));
    }
    return result;
}

UVMapping uvMapping(Compilation const& c, json const& entry, std::string const& where) {
    UVMapping mapping;
    json const* value = c.optionalField(entry, "uvMapping");
    if (value == nullptr) {
        return mapping;
    }
    std::string const mappingAt = c.at(where, "uvMapping");
    c.object(*value, mappingAt);
    static std::pair<char const*, std::uint8_t> const keys[] = {
        {"diffuse", format::UV_MAP_DIFFUSE},
        {"normal", format::UV_MAP_NORMAL},
        {"displacement", format::UV_MAP_DISPLACEMENT}};
    c.allowFields(*value, {"diffuse", "normal", "displacement"}, mappingAt);
    for (auto const& [name, key] : keys) {
        if (json const* channel = c.optionalField(*value, name)) {
            mapping.emplace_back(
                key, static_cast<std::uint8_t>(c.unsignedInt(*channel, format::MAX_UV_CHANNELS - 1,
                                                             c.at(mappingAt, name))));
        }
    }
    return mapping;
}

// A node that names a mesh file: the file's node tree, placed by the node.
MeshNode sceneNode(Compilation& c, json const& entry, std::string const& where, std::size_t depth) {
    c.allowFields(entry,
                  {"scene", "materials", "materialsByIndex", "uvChannels", "uvMapping", "matrix",
                   "translate", "rotate", "scale"},
                  where);
    std::string const sceneAt = c.at(where, "scene");
    SceneTreeOptions options;
    options.file = c.inputPath(entry["scene"], sceneAt);
    options.where = where;
    std::string const materialsAt = c.at(where, "materials");
    json const* byIndex = c.optionalField(entry, "materialsByIndex");
    if (byIndex != nullptr) {
        std::string const byIndexAt = c.at(where, "materialsByIndex");
        json const& list = c.array(*byIndex, byIndexAt);
        for (std::size_t i = 0; i < list.size(); ++i) {
            options.materials.byIndex.push_back(c.lookup(c.materials, list[i], c.at(byIndexAt, i)));
        }
    }
    if (byIndex == nullptr || c.optionalField(entry, "materials") != nullptr) {
        json const& names = c.object(c.field(entry, "materials", where), materialsAt);
        for (auto const& item : names.items()) {
            options.materials.byName[item.key()] =
                c.lookup(c.materials, item.value(), c.at(materialsAt, item.key().c_str()));
        }
    }
    if (json const* channels = c.optionalField(entry, "uvChannels")) {
        options.uvChannels = static_cast<int>(
            c.unsignedInt(*channels, format::MAX_UV_CHANNELS, c.at(where, "uvChannels")));
    }
    options.mapping = uvMapping(c, entry, where);
    Mat4 const matrix = transform(c, entry, where);
    std::string const& path = options.file;
    try {
        aiScene const& scene = c.importer.scene(path);
        std::optional<MeshNode> root =
            flattenSceneTree(c, scene, *scene.mRootNode, matrix, options);
        if (!root) {
            c.fail(sceneAt, "'" + path + "' has no node with a mesh");
        }
        if (depth - 1 + levels(*root) > format::MAX_MESH_DEPTH) {
            c.fail(sceneAt, "the node tree of '" + path +
                                "' makes the mesh hierarchy deeper than " +
                                std::to_string(format::MAX_MESH_DEPTH) + " levels");
        }
        return *root;
    } catch (ImportError const& e) {
        c.fail(sceneAt, "cannot use '" + path + "': " + e.what());
    }
}

} // namespace

MeshNode compileMeshNode(Compilation& c, json const& entry, std::string const& where,
                         std::size_t depth) {
    c.object(entry, where);
    if (depth > format::MAX_MESH_DEPTH) {
        c.fail(where,
               "mesh hierarchy deeper than " + std::to_string(format::MAX_MESH_DEPTH) + " levels");
    }
    if (c.optionalField(entry, "scene") != nullptr) {
        return sceneNode(c, entry, where, depth);
    }
    MeshNode node;
    if (json const* group = c.optionalField(entry, "group")) {
        if (!c.boolean(*group, c.at(where, "group"))) {
            c.fail(c.at(where, "group"), "leave 'group' out for a mesh with geometry");
        }
        c.allowFields(entry, {"group", "children"}, where);
        node.group = 1;
    } else {
        c.allowFields(entry,
                      {"geometry", "material", "matrix", "translate", "rotate", "scale",
                       "uvMapping", "children"},
                      where);
        std::uint16_t const geometry =
            c.lookup(c.geometries, c.field(entry, "geometry", where), c.at(where, "geometry"));
        c.setGeometry(node, geometry);
        node.material =
            c.lookup(c.materials, c.field(entry, "material", where), c.at(where, "material"));
        node.matrix = transform(c, entry, where);
        node.uvMapping = uvMapping(c, entry, where);
        c.checkMapping(node.uvMapping, geometry,
                       "geometry '" + entry["geometry"].get<std::string>() + "'", where);
        c.checkTexturedMaterial(node.material, geometry, where);
    }
    if (json const* children = c.optionalField(entry, "children")) {
        std::string const childrenAt = c.at(where, "children");
        c.array(*children, childrenAt);
        for (std::size_t i = 0; i < children->size(); ++i) {
            node.children.push_back(
                compileMeshNode(c, (*children)[i], c.at(childrenAt, i), depth + 1));
        }
    }
    return node;
}

} // namespace vlpc
