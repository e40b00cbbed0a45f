// Scene object assembly: model records of the model file become scene objects
// with their components, meshes, materials and lights.

#include <Engine/Data/Factory.h>
#include <Engine/Scene/BSPDrawComponent.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/Materials/TexturePart.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <string>
#include <utility>

namespace Engine::Data {

using Math::Vec3f;
using Math::Vec4f;
using Scene::IComponent;
using Scene::Light;
using Scene::Mesh;
using Scene::SceneObject;
using Scene::World;
using Scene::Materials::Material;
using Util::Logger;
using Util::UtilFunctions;

namespace {

// A spot light record holds the full cone in degrees; lights take half of it
// in radians.
constexpr float Pi = 3.1415927f;
float halfAngleInRadians(float fullConeDegrees) {
    return fullConeDegrees * Pi / 360.0f;
}

} // namespace

SceneObject* Factory::LoadSceneObject(unsigned short id, World* world) {
    Logger* log = Logger::Instance();
    if (id >= modelCount) {
        log->Fatal("Cannot load Model");
        log->Message("Non existing Id: ", UtilFunctions::ToString(id).c_str(), nullptr);
        return nullptr;
    }
    std::string const path = directory + MODEL_FILE;
    RecordParser::ModelRecord record;
    {
        std::vector<unsigned char> buffer;
        if (!readRecord(modelFile, path, modelFileSize, modelDictionary, id, "model", buffer) ||
            !RecordParser::ParseModelRecord(buffer.data(), buffer.size(), counts, record,
                                            {path.c_str(), "model", id})) {
            return nullptr;
        }
    }

    auto* object = new SceneObject();
    for (RecordParser::ComponentRecord const& componentRecord : record.components) {
        IComponent* component = LoadComponent(componentRecord, object, world);
        if (component == nullptr) {
            continue;
        }
        IComponent*& slot = object->Components()[component->Id()];
        if (slot != nullptr) {
            // An object holds one component of a kind: the later record wins.
            std::string const line = "Model " + UtilFunctions::ToString(id) + " in " + path +
                                     " holds a second component of type " +
                                     UtilFunctions::ToString(componentRecord.type) +
                                     "; it replaces the first";
            log->Fatal(line.c_str());
            delete slot;
        }
        slot = component;
    }
    return object;
}

IComponent* Factory::LoadComponent(RecordParser::ComponentRecord const& record, SceneObject* owner,
                                   World* world) {
    switch (record.type) {
    case COMPONENT_POSITION:
        return new Scene::PositionComponent(owner);
    case COMPONENT_MESH_DRAW:
        return new Scene::MeshDrawComponent(LoadMesh(record.mesh), owner);
    case COMPONENT_COLLISION:
        return new Scene::CollisionComponent(owner);
    case COMPONENT_LIGHT: {
        auto* component = new Scene::LightComponent(owner);
        LoadLights(component, record.lights, world);
        return component;
    }
    case COMPONENT_PATH_ANIMATION: {
        unsigned short firstCount = 0;
        unsigned short secondCount = 0;
        Util::CurvePoint** first = LoadPath(record.firstPathId, &firstCount);
        Util::CurvePoint** second = LoadPath(record.secondPathId, &secondCount);
        return new Scene::PathAnimationComponent(first, firstCount, second, secondCount, owner);
    }
    case COMPONENT_BSP_DRAW: {
        Material* material = LoadBSPMaterial(record.materialId);
        std::vector<Util::BaseVertex> vertices;
        std::vector<unsigned int> indices;
        LoadMeshData(record.geometryId, vertices, indices);
        return new Scene::BSPDrawComponent(std::move(vertices), std::move(indices), material,
                                           owner);
    }
    default:
        // Cameras are built in code; other types make nothing either.
        return nullptr;
    }
}

void Factory::LoadLights(Scene::LightComponent* component,
                         std::vector<RecordParser::LightRecord> const& lights, World* world) {
    std::vector<Light*>& list = component->Lights();
    for (RecordParser::LightRecord const& light : lights) {
        switch (light.kind) {
        case Format::LIGHT_KIND_POINT:
            // Shadow-casting point lights go first.
            if (light.castsShadow) {
                list.insert(list.begin(), new Scene::ShadowCastingPointLight(
                                              light.intensity, light.specularOn, light.location,
                                              light.attenuation, world));
            } else {
                list.push_back(new Scene::PointLight(light.intensity, light.specularOn,
                                                     light.location, light.attenuation));
            }
            break;
        case Format::LIGHT_KIND_SPOT: {
            float const angle = halfAngleInRadians(light.angle);
            if (light.castsShadow) {
                list.push_back(new Scene::ShadowCastingSpotLight(
                    light.intensity, light.specularOn, light.location, light.direction, angle,
                    light.exponent, light.attenuation, world));
            } else {
                list.push_back(new Scene::SpotLight(light.intensity, light.specularOn,
                                                    light.location, light.direction, angle,
                                                    light.exponent, light.attenuation));
            }
            break;
        }
        default:
            // Other kinds are their kind word alone and make no light.
            break;
        }
    }
}

Mesh* Factory::LoadMesh(RecordParser::MeshRecord const& record) {
    Mesh* mesh = nullptr;
    if (record.group) {
        mesh = new Mesh();
    } else {
        Util::SharedPointer<Scene::MeshData> geometry = LoadMeshData(record.geometryId);
        Material* material = LoadMaterial(record.materialId);
        mesh = new Mesh(geometry, material, record.mapping);
        mesh->Matrix(record.matrix);
        // The box spans the record's extent along the mesh's own axes.
        Vec3f const size = record.boxMax - record.boxMin;
        auto* box = new Scene::Collision::OrientedBox(
            Vec4f(record.boxMin, 1.0f), Vec3f(size.X(), 0.0f, 0.0f), Vec3f(0.0f, size.Y(), 0.0f),
            Vec3f(0.0f, 0.0f, size.Z()), mesh);
        mesh->Boundings(new Scene::Collision::AxisAlignedBox(box));
    }
    for (RecordParser::MeshRecord const& child : record.children) {
        mesh->Meshes().push_back(LoadMesh(child));
    }
    return mesh;
}

Material* Factory::LoadMaterial(unsigned short id) {
    std::string const path = directory + MODEL_FILE;
    RecordParser::MaterialRecord record;
    {
        std::vector<unsigned char> buffer;
        if (!readRecord(modelFile, path, modelFileSize, materialDictionary, id, "material",
                        buffer) ||
            !RecordParser::ParseMaterialRecord(buffer.data(), buffer.size(), counts, record,
                                               {path.c_str(), "material", id})) {
            return nullptr;
        }
    }
    auto* material =
        new Material(LoadShader(record.shaderId), static_cast<unsigned char>(record.parts.size()));
    Scene::Materials::IMaterialPart** parts = material->Parts();
    for (std::size_t i = 0; i < record.parts.size(); ++i) {
        RecordParser::MaterialPart const& part = record.parts[i];
        switch (part.type) {
        case Format::PART_DIFFUSE_COLOR:
            parts[i] = new Scene::Materials::DiffuseColorPart(part.color, part.emit);
            break;
        case Format::PART_SPECULAR_COLOR:
            parts[i] = new Scene::Materials::SpecularColorPart(part.color, part.shininess);
            break;
        case Format::PART_DIFFUSE_TEXTURE:
            // Colour data: decoded as sRGB.
            parts[i] =
                new Scene::Materials::DiffuseTexturePart(LoadTextureData(part.textureId, true));
            break;
        case Format::PART_NORMAL_TEXTURE:
            parts[i] =
                new Scene::Materials::NormalTexturePart(LoadTextureData(part.textureId, false));
            break;
        case Format::PART_DISPLACEMENT_TEXTURE:
            parts[i] = new Scene::Materials::DisplacementTexturePart(
                LoadTextureData(part.textureId, false));
            break;
        default:
            // The parser accepts no other part type.
            break;
        }
    }
    return material;
}

Material* Factory::LoadBSPMaterial(unsigned short id) {
    auto const found = bspMaterials.find(id);
    if (found != bspMaterials.end()) {
        return found->second;
    }
    Material* material = LoadMaterial(id);
    if (material != nullptr) {
        bspMaterials[id] = material;
    }
    return material;
}

} // namespace Engine::Data
