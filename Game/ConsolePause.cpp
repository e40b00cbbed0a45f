#include <Engine/Util/Logger.h>
#include <Game/ConsolePause.h>
#include <istream>
#include <ostream>
#include <string>

namespace Game {

bool PauseIfFatal(Engine::Util::Logger& log, std::istream& in, std::ostream& out,
                  bool interactive) {
    if (!interactive || !log.HasSomething()) {
        return false;
    }
    out << "Press Enter to continue . . ." << std::flush;
    std::string line;
    std::getline(in, line);
    return true;
}

} // namespace Game
