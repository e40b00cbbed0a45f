#include <algorithm>
#include <map>
#include <vlpc/ByteWriter.h>
#include <vlpc/FormatWriter.h>
#include <vlpc/ManifestSections.h>

namespace vlpc {

namespace {

LightRecord light(Compilation& c, json const& entry, std::string const& where) {
    c.object(entry, where);
    std::string const kind = c.text(c.field(entry, "kind", where), c.at(where, "kind"));
    LightRecord light;
    if (kind == "point") {
        c.allowFields(entry,
                      {"kind", "intensity", "specular", "location", "attenuation", "castsShadow"},
                      where);
        light.kind = format::LIGHT_KIND_POINT;
    } else if (kind == "spot") {
        c.allowFields(entry,
                      {"kind", "intensity", "specular", "location", "direction", "angle",
                       "exponent", "attenuation", "castsShadow"},
                      where);
        light.kind = format::LIGHT_KIND_SPOT;
        light.direction = c.floats<3>(c.field(entry, "direction", where), c.at(where, "direction"));
        light.coneAngle = c.number(c.field(entry, "angle", where), c.at(where, "angle"));
        if (!(light.coneAngle > 0.0f && light.coneAngle < 180.0f)) {
            c.fail(c.at(where, "angle"),
                   "the full cone angle in degrees must lie between 0 and 180");
        }
        light.exponent = c.number(c.field(entry, "exponent", where), c.at(where, "exponent"));
    } else {
        c.fail(c.at(where, "kind"), "unknown light kind '" + kind + "' (point, spot)");
    }
    light.intensity = c.floats<3>(c.field(entry, "intensity", where), c.at(where, "intensity"));
    if (json const* specular = c.optionalField(entry, "specular")) {
        light.specular = c.boolean(*specular, c.at(where, "specular")) ? 1 : 0;
    }
    json const& location = c.field(entry, "location", where);
    std::string const locationAt = c.at(where, "location");
    if (location.is_array() && location.size() == 3) {
        Vec3 const l = c.floats<3>(location, locationAt);
        light.location = {l[0], l[1], l[2], 1.0f};
    } else {
        light.location = c.floats<4>(location, locationAt);
    }
    if (json const* attenuation = c.optionalField(entry, "attenuation")) {
        light.attenuation = c.floats<3>(*attenuation, c.at(where, "attenuation"));
    }
    if (json const* shadow = c.optionalField(entry, "castsShadow")) {
        light.castsShadow = c.boolean(*shadow, c.at(where, "castsShadow")) ? 1 : 0;
    }
    return light;
}

ComponentRecord component(Compilation& c, json const& entry, std::string const& where) {
    c.object(entry, where);
    std::string const type = c.text(c.field(entry, "type", where), c.at(where, "type"));
    ComponentRecord component;
    if (type == "position" || type == "collision") {
        c.allowFields(entry, {"type"}, where);
        component.type = type == "position" ? COMPONENT_POSITION : COMPONENT_COLLISION;
    } else if (type == "meshDraw") {
        c.allowFields(entry, {"type", "mesh"}, where);
        component.type = COMPONENT_MESH_DRAW;
        component.mesh = compileMeshNode(c, c.field(entry, "mesh", where), c.at(where, "mesh"), 1);
        ByteWriter data;
        encodeMeshNode(data, component.mesh);
        if (data.size() > format::MAX_COMPONENT_DATA) {
            c.fail(c.at(where, "mesh"), "the mesh hierarchy needs " + std::to_string(data.size()) +
                                            " bytes; a component holds at most " +
                                            std::to_string(format::MAX_COMPONENT_DATA));
        }
    } else if (type == "light") {
        c.allowFields(entry, {"type", "lights"}, where);
        component.type = COMPONENT_LIGHT;
        if (json const* lights = c.optionalField(entry, "lights")) {
            std::string const lightsAt = c.at(where, "lights");
            c.array(*lights, lightsAt);
            std::size_t const limit = (format::MAX_COMPONENT_DATA - 2) / format::SPOT_LIGHT_SIZE;
            if (lights->size() > limit) {
                c.fail(lightsAt,
                       "at most " + std::to_string(limit) + " lights fit in one component");
            }
            for (std::size_t l = 0; l < lights->size(); ++l) {
                component.lights.push_back(light(c, (*lights)[l], c.at(lightsAt, l)));
            }
        }
    } else if (type == "pathAnimation") {
        c.allowFields(entry, {"type", "position", "lookAt"}, where);
        component.type = COMPONENT_PATH_ANIMATION;
        component.positionPath =
            c.lookup(c.paths, c.field(entry, "position", where), c.at(where, "position"));
        component.lookAtPath =
            c.lookup(c.paths, c.field(entry, "lookAt", where), c.at(where, "lookAt"));
    } else if (type == "bsp") {
        c.allowFields(entry, {"type", "material", "geometry"}, where);
        component.type = COMPONENT_BSP_DRAW;
        component.material =
            c.lookup(c.materials, c.field(entry, "material", where), c.at(where, "material"));
        component.geometry =
            c.lookup(c.geometries, c.field(entry, "geometry", where), c.at(where, "geometry"));
        if (c.out.models.geometries[component.geometry].format != format::FORMAT_BASE) {
            c.fail(c.at(where, "geometry"), "geometry '" + entry["geometry"].get<std::string>() +
                                                "' has texture channels; a BSP geometry needs "
                                                "\"uvChannels\": 0");
        }
    } else if (type == "camera") {
        c.fail(c.at(where, "type"), "a camera component cannot be stored in the model file");
    } else {
        c.fail(c.at(where, "type"),
               "unknown component type '" + type +
                   "' (position, meshDraw, collision, light, pathAnimation, bsp)");
    }
    return component;
}

ModelRecord model(Compilation& c, json const& entry, std::string const& where) {
    ModelRecord record;
    std::string const componentsAt = c.at(where, "components");
    json const& list = c.array(c.field(entry, "components", where), componentsAt);
    std::map<std::uint16_t, std::string> seen;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const componentAt = c.at(componentsAt, i);
        ComponentRecord next = component(c, list[i], componentAt);
        auto const earlier = seen.find(next.type);
        if (earlier != seen.end()) {
            c.fail(componentAt, "a second component of type '" +
                                    list[i]["type"].get<std::string>() + "' (also " +
                                    earlier->second + ")");
        }
        seen[next.type] = componentAt;
        record.components.push_back(std::move(next));
    }
    for (auto const& [type, componentAt] : seen) {
        if (type != COMPONENT_POSITION && seen.count(COMPONENT_POSITION) == 0) {
            c.fail(componentAt, "needs a 'position' component in the same model");
        }
        if (type == COMPONENT_COLLISION && seen.count(COMPONENT_MESH_DRAW) == 0) {
            c.warn(componentAt,
                   "a collision component without a 'meshDraw' component has no boxes");
        }
    }
    // Components are stored in ascending type order, the order in which the
    // object updates them: the collision component then finds the meshes.
    std::stable_sort(
        record.components.begin(), record.components.end(),
        [](ComponentRecord const& a, ComponentRecord const& b) { return a.type < b.type; });
    return record;
}

} // namespace

void compileModels(Compilation& c, json const& list) {
    // Pinned ids first, then every other model takes the lowest free id.
    std::map<std::size_t, std::size_t> entryOfId;
    std::vector<std::size_t> idOfEntry(list.size());
    std::vector<bool> pinned(list.size(), false);
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("models", i);
        json const& entry = c.object(list[i], where);
        c.allowFields(entry, {"name", "id", "components"}, where);
        if (json const* id = c.optionalField(entry, "id")) {
            std::size_t const value = c.unsignedInt(*id, Compilation::MAX_ID, c.at(where, "id"));
            auto const taken = entryOfId.find(value);
            if (taken != entryOfId.end()) {
                c.fail(c.at(where, "id"), "id " + std::to_string(value) + " is also pinned by " +
                                              c.at("models", taken->second));
            }
            entryOfId[value] = i;
            idOfEntry[i] = value;
            pinned[i] = true;
        }
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (pinned[i]) {
            continue;
        }
        while (entryOfId.count(next) != 0) {
            ++next;
        }
        if (next > Compilation::MAX_ID) {
            c.fail(c.at("models", i), "too many models");
        }
        entryOfId[next] = i;
        idOfEntry[i] = next;
    }
    std::size_t const count = entryOfId.empty() ? 0 : entryOfId.rbegin()->first + 1;
    c.out.models.models.assign(count, ModelRecord{});
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = c.at("models", i);
        c.define(c.models, list[i], where, idOfEntry[i]);
        c.out.models.models[idOfEntry[i]] = model(c, list[i], where);
    }
    // Ids left free, as ranges, reported in one warning.
    std::vector<std::pair<std::size_t, std::size_t>> gaps;
    std::size_t missing = 0;
    for (std::size_t id = 0; id < count; ++id) {
        if (entryOfId.count(id) != 0) {
            continue;
        }
        ++missing;
        if (!gaps.empty() && gaps.back().second + 1 == id) {
            gaps.back().second = id;
        } else {
            gaps.emplace_back(id, id);
        }
    }
    if (missing == 1) {
        c.warn("models", "no model has id " + std::to_string(gaps[0].first) +
                             "; it is stored as an empty model");
    } else if (missing > 1) {
        constexpr std::size_t LISTED = 4;
        std::string list;
        for (std::size_t g = 0; g < gaps.size() && g < LISTED; ++g) {
            list += (g > 0 ? ", " : "") + std::to_string(gaps[g].first) +
                    (gaps[g].second > gaps[g].first ? " to " + std::to_string(gaps[g].second) : "");
        }
        if (gaps.size() > LISTED) {
            list += ", ...";
        }
        c.warn("models", "no model has ids " + list + " (" + std::to_string(missing) +
                             " ids); they are stored as empty models");
    }
}

} // namespace vlpc
