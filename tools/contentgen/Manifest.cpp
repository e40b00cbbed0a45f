#include "Manifest.h"

#include "Textures.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace contentgen::Manifest {

namespace {

using nlohmann::json;

// File names of the base manifest, seen from the output folder one level down.
void rebase(json& entries, std::initializer_list<char const*> fields) {
    for (json& entry : entries) {
        for (char const* field : fields) {
            if (entry.contains(field)) {
                entry[field] = "../" + entry[field].get<std::string>();
            }
        }
    }
}

void rebaseScenes(json& mesh) {
    if (mesh.contains("scene")) {
        mesh["scene"] = "../" + mesh["scene"].get<std::string>();
    }
    if (mesh.contains("children")) {
        for (json& child : mesh["children"])
            rebaseScenes(child);
    }
}

json color(std::string const& type, std::array<double, 3> c, double extra, char const* key) {
    return {{"type", type}, {"color", c}, {key, extra}};
}

json materials() {
    auto diffuse = [](std::array<double, 3> c, double emit = 0) {
        return color("diffuseColor", c, emit, "emit");
    };
    auto specular = [](std::array<double, 3> c, int shininess) {
        return json{{"type", "specularColor"}, {"color", c}, {"shininess", shininess}};
    };
    auto tex = [](char const* type, char const* name) {
        return json{{"type", type}, {"texture", name}};
    };
    return json::array({
        {{"name", "masonry"},
         {"shader", "normalMap"},
         {"parts",
          {diffuse({1, 1, 1}), specular({0.15, 0.15, 0.15}, 12), tex("diffuseTexture", "block_d"),
           tex("normalTexture", "block_n")}}},
        {{"name", "relief"},
         {"shader", "displacement"},
         {"parts",
          {diffuse({1, 0.97, 0.92}), specular({0.2, 0.2, 0.2}, 16),
           tex("diffuseTexture", "block_d"), tex("normalTexture", "block_n"),
           tex("displacementTexture", "block_h")}}},
        {{"name", "steel"},
         {"shader", "normalMap"},
         {"parts",
          {diffuse({1, 1, 1}), specular({0.9, 0.9, 0.95}, 80), tex("diffuseTexture", "metal_d"),
           tex("normalTexture", "metal_n")}}},
        {{"name", "brass"},
         {"shader", "color"},
         {"parts", {diffuse({0.78, 0.56, 0.24}), specular({1.0, 0.85, 0.55}, 96)}}},
        {{"name", "wood"},
         {"shader", "normalMap"},
         {"parts",
          {diffuse({1, 1, 1}), specular({0.25, 0.2, 0.15}, 24), tex("diffuseTexture", "wood_d"),
           tex("normalTexture", "wood_n")}}},
        {{"name", "plaster"},
         {"shader", "normalMap"},
         {"parts",
          {diffuse({1, 1, 1}), specular({0.05, 0.05, 0.05}, 4), tex("diffuseTexture", "plaster_d"),
           tex("normalTexture", "plaster_n")}}},
        {{"name", "window"},
         {"shader", "texture"},
         {"parts",
          {diffuse({1, 1, 1}, 3.0), specular({0, 0, 0}, 1), tex("diffuseTexture", "window_d")}}},
        {{"name", "lamp"},
         {"shader", "color"},
         {"parts", {diffuse({1.0, 0.8, 0.45}, 4.0), specular({0, 0, 0}, 1)}}},
        {{"name", "daylight"},
         {"shader", "color"},
         {"parts", {diffuse({0.85, 0.9, 1.0}, 2.5), specular({0, 0, 0}, 1)}}},
    });
}

json path(std::string const& name, std::vector<std::array<double, 4>> const& points) {
    return {{"name", name}, {"points", points}};
}

json lights(Scenes::Scene const& scene, bool first) {
    json list = json::array();
    for (std::size_t i = 0; i < scene.lights.size(); ++i) {
        Scenes::Light const& l = scene.lights[i];
        std::array<double, 3> const at{l.location.x, l.location.y, l.location.z};
        if (l.spot) {
            list.push_back({{"kind", "spot"},
                            {"intensity", first ? json{2.0, 1.9, 1.7} : json{0.9, 0.8, 0.65}},
                            {"location", at},
                            {"direction", {l.direction.x, l.direction.y, l.direction.z}},
                            {"angle", first ? 50 : 60},
                            {"exponent", 8},
                            {"attenuation", {1, 0, 0.01}},
                            {"castsShadow", first}});
        } else {
            list.push_back({{"kind", "point"},
                            {"intensity", first ? json{1.2, 0.9, 0.6} : json{0.9, 0.6, 0.3}},
                            {"location", at},
                            {"attenuation", first ? json{1, 0, 0.05} : json{1, 0.2, 0.6}}});
        }
    }
    return list;
}

} // namespace

void Write(std::string const& basePath, std::string const& outDir, Scenes::Scene const& first,
           Scenes::Scene const& second) {
    std::ifstream in(basePath);
    if (!in)
        throw std::runtime_error(basePath + ": cannot read");
    std::stringstream text;
    text << in.rdbuf();
    json manifest = json::parse(text.str(), nullptr, true, true);

    rebase(manifest["shaders"],
           {"vertex", "geometry", "tessControl", "tessEvaluation", "fragment"});
    rebase(manifest["textures"], {"file"});
    rebase(manifest["geometries"], {"file"});
    for (json& model : manifest["models"]) {
        for (json& component : model["components"]) {
            if (component.contains("mesh"))
                rebaseScenes(component["mesh"]);
        }
    }
    for (Textures::Texture const& t : Textures::List()) {
        manifest["textures"].push_back({{"name", t.name}, {"file", "Textures/" + t.name + ".png"}});
    }
    for (json const& m : materials())
        manifest["materials"].push_back(m);

    for (Scenes::Scene const* scene : {&first, &second}) {
        json children = json::array();
        for (auto const& [material, mesh] : scene->meshes) {
            std::string const name = scene->name + "_" + material;
            mesh.WriteObj(outDir + "/Meshes/" + name + ".obj");
            manifest["geometries"].push_back(
                {{"name", name}, {"file", "Meshes/" + name + ".obj"}, {"uvChannels", 1}});
            children.push_back({{"geometry", name}, {"material", material}});
        }
        bool const isFirst = scene == &first;
        std::string const tour = scene->name + "Tour";
        manifest["models"].push_back(
            {{"name", scene->name},
             {"id", isFirst ? 10 : 9},
             {"components",
              {{{"type", "position"}},
               {{"type", "meshDraw"}, {"mesh", {{"group", true}, {"children", children}}}},
               {{"type", "collision"}},
               {{"type", "light"}, {"lights", lights(*scene, isFirst)}},
               {{"type", "pathAnimation"}, {"position", tour}, {"lookAt", tour + "Look"}}}}});
    }
    // Showcase flights for the objects on their own: round the armillary and
    // through its core; along the hall and back.
    manifest["paths"].push_back(path("armillaryTour", {{0, 0, 2, 16},
                                                       {8, 14, 6, 0},
                                                       {16, 0, -4, -14},
                                                       {24, -14, 3, 0},
                                                       {32, 0, 0, 10},
                                                       {38, 0, 0, -12},
                                                       {46, 0, 2, 16}}));
    manifest["paths"].push_back(
        path("armillaryTourLook",
             {{0, 0, 0, 0}, {30, 0, -2, 0}, {36, 0, 0, -20}, {40, 0, 0, 0}, {46, 0, 0, 0}}));
    manifest["paths"].push_back(path("hallTour", {{0, 0, 1.6, 11},
                                                  {10, 0, 1.6, 4},
                                                  {20, -3, 2, -4},
                                                  {30, 2.5, 2.2, -10},
                                                  {40, 2.5, 1.6, 0},
                                                  {50, 0, 1.6, 11}}));
    manifest["paths"].push_back(path(
        "hallTourLook",
        {{0, 0, 1.2, 0}, {20, 0, 1.5, -14}, {30, -4, 2, -6}, {40, 0, 1, 12}, {50, 0, 1.2, 0}}));

    std::ofstream out(outDir + "/demo.json");
    out << "// Generated by contentgen: edit TestData/demo.json or tools/contentgen.\n"
        << manifest.dump(1) << "\n";
    if (!out)
        throw std::runtime_error(outDir + "/demo.json: cannot write");
}

} // namespace contentgen::Manifest
