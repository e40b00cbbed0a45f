// Uses the installed engine: its maths, its log and its installed shaders.
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Util/Logger.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

int main() {
    using Engine::Math::Mat4f;
    using Engine::Math::Vec4f;
    Mat4f const rotation = Mat4f::RotateX(0.5f);
    Vec4f const point = Mat4f::Invert(rotation) * (rotation * Vec4f(1.0f, 2.0f, 3.0f, 1.0f));
    bool const inverted = std::fabs(point.X() - 1.0f) < 1e-5f &&
                          std::fabs(point.Y() - 2.0f) < 1e-5f &&
                          std::fabs(point.Z() - 3.0f) < 1e-5f;

    std::string const shader = std::string(ENGINE_DATA_DIR) + "/EngineData/Shader/quad.vert";
    bool const shadersInstalled = std::ifstream(shader).good();

    // The log prints each line as it takes it.
    Engine::Util::Logger log;
    log.Message("consumer: ", inverted ? "matrices ok" : "matrices wrong", nullptr);
    if (!shadersInstalled) {
        std::printf("missing %s\n", shader.c_str());
    }
    return inverted && shadersInstalled ? 0 : 1;
}
