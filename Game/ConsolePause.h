#pragma once

#include <iosfwd>

namespace Engine::Util {
class Logger;
}

namespace Game {

// Keeps the console open at exit while the log holds an unread fatal message,
// so that a person who started the program sees it: when `interactive` (the
// input is a terminal) it prints "Press Enter to continue . . ." and waits for
// a line. Scripts and CI never wait. Returns true when it waited.
bool PauseIfFatal(Engine::Util::Logger& log, std::istream& in, std::ostream& out, bool interactive);

} // namespace Game
