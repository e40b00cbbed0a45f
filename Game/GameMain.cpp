#include <Engine/Util/Logger.h>
#include <Game/Application.h>
#include <Game/CommandLine.h>
#include <Game/ConsolePause.h>
#include <Game/GameMain.h>
#include <Game/GlfwPlatform.h>
#include <iostream>
#include <unistd.h>

namespace Game {

int RunGame(int argc, char const* const* argv, DemoHooks& demo) {
    const CommandLine options = CommandLine::Parse(argc, argv, std::cerr);
    if (options.help) {
        CommandLine::PrintUsage(std::cout);
        return Application::ExitSuccess;
    }
    int exitCode = Application::ExitSuccess;
    {
        GlfwPlatform platform;
        Application application(platform, demo, options, std::cerr);
        exitCode = application.Run();
    }
    PauseIfFatal(*getLoggerInstance(), std::cin, std::cout, isatty(STDIN_FILENO) != 0);
    return exitCode;
}

} // namespace Game
