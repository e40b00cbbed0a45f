#include "Support/Output.h"

#include <Engine/Render/Viewer.h>
#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/Light.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Scene/World.h>
#include <Engine/Util/Timer.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Render::Viewer;
using Engine::Util::Timer;

namespace {

// Journal of what the test doubles below saw, in order.
std::vector<std::string> journal;

// A component that records its updates under a name.
class RecordingComponent : public IComponent {
public:
    RecordingComponent(ComponentID id, SceneObject* owner, std::string name, int* deaths = nullptr)
        : IComponent(id, owner), name(std::move(name)), deaths(deaths) {}
    ~RecordingComponent() override {
        journal.push_back("~" + name);
        if (deaths) {
            ++*deaths;
        }
    }
    void Update(float time) override {
        journal.push_back(name + "@" + std::to_string(time));
        lastUpdateTime = time;
    }
    std::string name;
    int* deaths;
};

// A position component that counts its updates.
class CountingPosition : public PositionComponent {
public:
    using PositionComponent::PositionComponent;
    void Update(float time) override {
        ++updates;
        PositionComponent::Update(time);
    }
    int updates = 0;
};

// A light that records the matrices it is moved with.
class RecordingLight : public Light {
public:
    RecordingLight(LightType type, std::string name)
        : Light(type, Vec3f(1, 1, 1), true), name(name) {}
    void Update(Mat4f const& m) override {
        journal.push_back(name);
        lastMatrix = m;
    }
    std::string name;
    Mat4f lastMatrix;
};

// A screen camera that records the frames it renders.
class RecordingCamera : public ScreenCamera {
public:
    explicit RecordingCamera(World* world)
        : ScreenCamera(world, nullptr, 64, 48, 1.0f, 0.1f, 100.0f) {}
    void RenderFrame(Timer const& timer) override {
        journal.push_back("render@" + std::to_string(timer.AbsoluteTime()));
    }
};

SceneObject* objectWithLights(std::vector<Light*> const& lights) {
    auto* object = new SceneObject();
    object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
    auto* component = new LightComponent(object);
    component->Lights() = lights;
    object->Components()[COMPONENT_LIGHT] = component;
    return object;
}

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
};

} // namespace

TEST_F(WorldTest, UpdatesObjectsInOrderAndComponentsByAscendingId) {
    World world;
    for (const char* name : {"a", "b"}) {
        auto* object = new SceneObject();
        // Inserted out of order: the map's order decides.
        object->Components()[COMPONENT_PATH_ANIMATION] =
            new RecordingComponent(COMPONENT_PATH_ANIMATION, object, std::string(name) + "6");
        object->Components()[COMPONENT_POSITION] =
            new RecordingComponent(COMPONENT_POSITION, object, std::string(name) + "1");
        world.AddSceneObject(object);
    }
    world.Update(2.0f);
    EXPECT_EQ(journal, (std::vector<std::string>{"a1@2.000000", "a6@2.000000", "b1@2.000000",
                                                 "b6@2.000000"}));
}

TEST_F(WorldTest, PositionIsBroughtUpToTheFrameStampOnce) {
    auto* object = new SceneObject();
    auto* position = new CountingPosition(object);
    object->Components()[COMPONENT_POSITION] = position;
    auto* lights = new LightComponent(object);
    object->Components()[COMPONENT_LIGHT] = lights;

    position->Update(1.0f);
    lights->Update(1.0f);
    EXPECT_EQ(position->updates, 1) << "already current for this stamp";
    lights->Update(2.0f);
    EXPECT_EQ(position->updates, 2);
    EXPECT_EQ(position->LastUpdateFrame(), 2.0f);
    EXPECT_EQ(lights->LastUpdateFrame(), 2.0f);

    World world;
    world.AddSceneObject(object);
    world.Update(3.0f);
    EXPECT_EQ(position->updates, 3) << "the world's own pass counts once per frame";
}

TEST_F(WorldTest, LightsMoveWithTheirObject) {
    auto* light = new RecordingLight(LIGHT_POINT, "l");
    SceneObject* object = objectWithLights({light});
    const Mat4f placed = Mat4f::Translate(Vec3f(1, 2, 3));
    static_cast<PositionComponent*>(object->Components(COMPONENT_POSITION))->Matrix(placed);
    World world;
    world.AddSceneObject(object);
    world.Update(0.5f);
    EXPECT_EQ(light->lastMatrix, placed);
}

TEST_F(WorldTest, RegistersLightsByKindInComponentOrder) {
    auto* spot = new RecordingLight(LIGHT_SPOT, "spot");
    auto* point1 = new RecordingLight(LIGHT_POINT, "p1");
    auto* point2 = new RecordingLight(LIGHT_POINT, "p2");
    SceneObject* object = objectWithLights({spot, point1, point2});

    World world;
    world.AddSceneObject(object);
    ASSERT_EQ(world.Lights().count(LIGHT_SPOT), 1u);
    EXPECT_EQ(world.Lights().at(LIGHT_SPOT), std::vector<Light*>{spot});
    EXPECT_EQ(world.Lights().at(LIGHT_POINT), (std::vector<Light*>{point1, point2}));

    world.RemoveSceneObject(object);
    EXPECT_TRUE(world.SceneObjects().empty());
    EXPECT_TRUE(world.Lights().at(LIGHT_SPOT).empty());
    EXPECT_TRUE(world.Lights().at(LIGHT_POINT).empty());
    // The object is the caller's again and still whole.
    EXPECT_EQ(static_cast<LightComponent*>(object->Components(COMPONENT_LIGHT))->Lights().size(),
              3u);
    delete object;
}

TEST_F(WorldTest, RemovingAStrangerKeepsTheOthersInOrder) {
    World world;
    auto* a = new SceneObject();
    auto* b = new SceneObject();
    auto* c = new SceneObject();
    world.AddSceneObject(a);
    world.AddSceneObject(b);
    world.AddSceneObject(c);
    world.RemoveSceneObject(b);
    EXPECT_EQ(world.SceneObjects(), (std::vector<SceneObject*>{a, c}));

    auto* light = new RecordingLight(LIGHT_DIRECTIONAL, "d");
    SceneObject* stranger = objectWithLights({light});
    world.RemoveSceneObject(stranger);
    EXPECT_EQ(world.SceneObjects().size(), 2u);
    ASSERT_EQ(world.Lights().count(LIGHT_DIRECTIONAL), 1u);
    EXPECT_TRUE(world.Lights().at(LIGHT_DIRECTIONAL).empty());
    delete stranger;
    delete b;
}

TEST_F(WorldTest, CameraObjectBecomesTheWorldsCamera) {
    World world;
    EXPECT_EQ(world.Camera(), nullptr);
    auto* first = new SceneObject();
    auto* firstCamera = new RecordingCamera(&world);
    first->Components()[COMPONENT_POSITION] = new PositionComponent(first);
    first->Components()[COMPONENT_CAMERA] = new CameraComponent(firstCamera, first);
    world.AddSceneObject(first);
    EXPECT_EQ(world.Camera(), firstCamera);

    auto* second = new SceneObject();
    auto* secondCamera = new RecordingCamera(&world);
    second->Components()[COMPONENT_POSITION] = new PositionComponent(second);
    second->Components()[COMPONENT_CAMERA] = new CameraComponent(secondCamera, second);
    world.AddSceneObject(second);
    EXPECT_EQ(world.Camera(), secondCamera) << "a later camera replaces the earlier";

    // Its owner gone, the world no longer renders through the camera.
    world.RemoveSceneObject(second);
    EXPECT_EQ(world.Camera(), nullptr);
    delete second;
    Timer timer;
    world.RenderFrame(timer);
    EXPECT_TRUE(journal.empty());
}

TEST_F(WorldTest, CameraFollowsItsObject) {
    World world;
    auto* object = new SceneObject();
    auto* camera = new RecordingCamera(&world);
    auto* position = new PositionComponent(object);
    object->Components()[COMPONENT_POSITION] = position;
    object->Components()[COMPONENT_CAMERA] = new CameraComponent(camera, object);
    position->Matrix(Mat4f::Translate(Vec3f(4, 5, 6)));
    world.AddSceneObject(object);
    world.Update(1.0f);
    EXPECT_EQ(camera->Location().X(), 4.0f);
    EXPECT_EQ(camera->Location().Y(), 5.0f);
    EXPECT_EQ(camera->Location().Z(), 6.0f);
    EXPECT_FLOAT_EQ(camera->View().Z(), -1.0f);
}

TEST_F(WorldTest, PositionComponentTakesNoInitData) {
    PositionComponent position(nullptr);
    position.Matrix(Mat4f::Translate(Vec3f(1, 2, 3)));
    char data[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(TestSupport::captureStdout([&] { position.ParseInitData(data, 0); }), "");
    EXPECT_EQ(TestSupport::captureStdout([&] { position.ParseInitData(data, 12); }),
              "FATAL Wrong size of InitData\n");
    EXPECT_EQ(position.Matrix(), Mat4f::Translate(Vec3f(1, 2, 3)));
    EXPECT_EQ(position.LastUpdateFrame(), -1.0f);
}

TEST_F(WorldTest, LookupOfAMissingComponentDoesNotInsert) {
    SceneObject object;
    EXPECT_EQ(object.Components(COMPONENT_CAMERA), nullptr);
    EXPECT_TRUE(object.Components().empty());
}

TEST_F(WorldTest, SceneObjectDeletesComponentsInAscendingOrder) {
    auto* object = new SceneObject();
    object->Components()[COMPONENT_BSP_DRAW] =
        new RecordingComponent(COMPONENT_BSP_DRAW, object, "7");
    object->Components()[COMPONENT_POSITION] =
        new RecordingComponent(COMPONENT_POSITION, object, "1");
    object->Components()[COMPONENT_CAMERA] = new RecordingComponent(COMPONENT_CAMERA, object, "3");
    delete object;
    EXPECT_EQ(journal, (std::vector<std::string>{"~1", "~3", "~7"}));
}

TEST_F(WorldTest, WorldDeletesItsObjects) {
    int deaths = 0;
    {
        World world;
        for (int i = 0; i < 3; ++i) {
            auto* object = new SceneObject();
            object->Components()[COMPONENT_POSITION] =
                new RecordingComponent(COMPONENT_POSITION, object, std::to_string(i), &deaths);
            world.AddSceneObject(object);
        }
    }
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(journal, (std::vector<std::string>{"~0", "~1", "~2"}));
}

TEST_F(WorldTest, ViewerUpdatesWithAbsoluteTimeThenRenders) {
    auto* world = new World();
    auto* object = new SceneObject();
    object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
    object->Components()[COMPONENT_CAMERA] =
        new CameraComponent(new RecordingCamera(world), object);
    object->Components()[COMPONENT_PATH_ANIMATION] =
        new RecordingComponent(COMPONENT_PATH_ANIMATION, object, "u");
    world->AddSceneObject(object);

    Viewer viewer(Timer(Timer::FixedStepSource(0.25), Timer::FixedStepTicksPerSecond));
    viewer.CurrentWorld(world);
    TestSupport::captureStdout([&] {
        viewer.RenderFrame();
        viewer.RenderFrame();
    });
    EXPECT_EQ(journal, (std::vector<std::string>{"u@0.250000", "render@0.250000", "u@0.500000",
                                                 "render@0.500000"}));
    EXPECT_FLOAT_EQ(viewer.getTimer().RelativeTime(), 0.25f);
    // The viewer deletes the world it holds.
}

TEST_F(WorldTest, ViewerWithoutWorldDoesNothing) {
    Viewer viewer(Timer(Timer::FixedStepSource(0.25), Timer::FixedStepTicksPerSecond));
    const std::string out = TestSupport::captureStdout([&] { viewer.RenderFrame(); });
    EXPECT_EQ(out, "") << "the timer did not advance, so it reported nothing";
    EXPECT_EQ(viewer.getTimer().AbsoluteTime(), 0.0f);
    EXPECT_TRUE(viewer.getTimer().Running());
}

TEST_F(WorldTest, DetachedWorldOutlivesTheViewer) {
    int deaths = 0;
    auto* world = new World();
    auto* object = new SceneObject();
    object->Components()[COMPONENT_POSITION] =
        new RecordingComponent(COMPONENT_POSITION, object, "p", &deaths);
    world->AddSceneObject(object);
    {
        Viewer viewer;
        EXPECT_EQ(viewer.CurrentWorld(world)->CurrentWorld(), world);
        viewer.CurrentWorld(nullptr);
    }
    EXPECT_EQ(deaths, 0);
    delete world;
    EXPECT_EQ(deaths, 1);
}

TEST_F(WorldTest, DrawDebugFlag) {
    World world;
    EXPECT_FALSE(world.DrawDebug());
    world.DrawDebug(true);
    EXPECT_TRUE(world.DrawDebug());
}
