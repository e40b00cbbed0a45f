#include <vlpc/ManifestSections.h>

namespace vlpc {

namespace {

MaterialPart materialPart(Compilation& c, json const& entry, std::string const& where) {
    c.object(entry, where);
    std::string const type = c.text(c.field(entry, "type", where), c.at(where, "type"));
    MaterialPart part;
    if (type == "diffuseColor") {
        c.allowFields(entry, {"type", "color", "emit"}, where);
        part.type = format::PART_DIFFUSE_COLOR;
        part.color = c.floats<3>(c.field(entry, "color", where), c.at(where, "color"));
        json const* emit = c.optionalField(entry, "emit");
        part.emit = emit ? c.number(*emit, c.at(where, "emit")) : 0.0f;
    } else if (type == "specularColor") {
        c.allowFields(entry, {"type", "color", "shininess"}, where);
        part.type = format::PART_SPECULAR_COLOR;
        part.color = c.floats<3>(c.field(entry, "color", where), c.at(where, "color"));
        part.shininess = static_cast<std::uint32_t>(c.unsignedInt(
            c.field(entry, "shininess", where), 0xFFFFFFFFu, c.at(where, "shininess")));
    } else if (type == "diffuseTexture" || type == "normalTexture" ||
               type == "displacementTexture") {
        c.allowFields(entry, {"type", "texture"}, where);
        part.type = type == "diffuseTexture"  ? format::PART_DIFFUSE_TEXTURE
                    : type == "normalTexture" ? format::PART_NORMAL_TEXTURE
                                              : format::PART_DISPLACEMENT_TEXTURE;
        part.texture =
            c.lookup(c.textures, c.field(entry, "texture", where), c.at(where, "texture"));
    } else {
        c.fail(c.at(where, "type"), "unknown part type '" + type +
                                        "' (diffuseColor, specularColor, diffuseTexture, "
                                        "normalTexture, displacementTexture)");
    }
    return part;
}

} // namespace

void compileMaterials(Compilation& c, json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("materials", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry, {"name", "shader", "parts"}, where);
        c.define(c.materials, entry, where, i);
        MaterialRecord record;
        record.shader = c.lookup(c.shaders, c.field(entry, "shader", where), c.at(where, "shader"));
        if (json const* parts = c.optionalField(entry, "parts")) {
            std::string const partsAt = c.at(where, "parts");
            c.array(*parts, partsAt);
            if (parts->size() > format::MAX_MATERIAL_PARTS) {
                c.fail(partsAt, std::to_string(parts->size()) +
                                    " parts; a material holds at most " +
                                    std::to_string(format::MAX_MATERIAL_PARTS));
            }
            for (std::size_t p = 0; p < parts->size(); ++p) {
                record.parts.push_back(materialPart(c, (*parts)[p], c.at(partsAt, p)));
            }
        }
        c.out.models.materials.push_back(std::move(record));
    }
}

} // namespace vlpc
