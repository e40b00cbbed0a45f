#include <Engine/Util/Logger.h>
#include <Game/Application.h>
#include <Game/CommandLine.h>
#include <Game/ConsolePause.h>
#include <Game/GlfwPlatform.h>
#include <Viewer/SceneCompiler.h>
#include <Viewer/ViewerMain.h>
#include <Viewer/ViewerOptions.h>
#include <Viewer/ViewerScene.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace Viewer {

namespace {

// The material library's GLSL sources, from the working folder <build>/bin.
constexpr char const* MaterialShaders = "../../EngineData/Shader/Material/";

} // namespace

int RunViewer(int argc, char const* const* argv) {
    auto const started = std::chrono::steady_clock::now();
    ViewerOptions const options = ViewerOptions::Parse(argc, argv, std::cerr);
    if (options.help) {
        ViewerOptions::PrintUsage(std::cout);
        return 0;
    }
    if (!options.error.empty() || options.model.empty()) {
        std::cerr << "Viewer: " << (options.error.empty() ? "no model file given" : options.error)
                  << "\n";
        ViewerOptions::PrintUsage(std::cerr);
        return 1;
    }
    Game::CommandLine const shell = Game::CommandLine::Parse(argc, argv, std::cerr);

    SceneCompiler const compiler(
        options.cacheRoot.empty() ? SceneCompiler::DefaultCacheRoot() : options.cacheRoot,
        std::filesystem::absolute(MaterialShaders).lexically_normal().string(), std::cout);
    CompiledScene scene;
    try {
        scene = compiler.Compile(options.model);
    } catch (CompileError const& e) {
        std::cerr << "Viewer: " << e.what() << "\n";
        return 1;
    }
    std::chrono::duration<double> const compiled = std::chrono::steady_clock::now() - started;
    std::printf("viewer: %s in %.2f s\n", scene.fromCache ? "cache checked" : "compiled",
                compiled.count());
    for (std::string const& note : scene.notes) {
        std::cout << "viewer: note: " << note << "\n";
    }
    std::cout << std::flush;

    int exitCode = 0;
    {
        ViewerScene viewer(compiler, scene, options, started);
        Game::GlfwPlatform platform;
        Game::Application application(platform, viewer, shell, std::cerr);
        exitCode = application.Run();
        if (exitCode == 0 && viewer.Failed()) {
            exitCode = 1;
        }
    }
    Game::PauseIfFatal(*getLoggerInstance(), std::cin, std::cout, isatty(STDIN_FILENO) != 0);
    return exitCode;
}

} // namespace Viewer
