#pragma once

#include <Engine/Export.h>
#include <string>

namespace Engine::Util {

// The engine's message log: every message is echoed as a line to standard
// output and kept in a ring of the last 100 entries. The log remembers the most
// severe level seen, so that a program can ask at exit whether a fatal message
// is still waiting to be read.
class ENGINE_API Logger {
public:
    static const unsigned int LOGLEVEL_FATAL = 0;
    static const unsigned int LOGLEVEL_MESSAGE = 1;
    static const unsigned int LOGLEVEL_RESSOURCE = 2;
    static const unsigned int LOGLEVEL_ALL = 4;
    static const unsigned int LOGLEVEL_NONE = 8;

    static const int EntryCount = 100;

    // The process-wide log, created on first use and never destroyed.
    static Logger* Instance();

    // A fresh, empty log. The engine uses the singleton; separate logs serve
    // tools and tests.
    Logger();

    // Logs "FATAL " followed by text.
    void Fatal(const char* text);
    // Logs the concatenation of a null-terminated list of strings.
    void Message(const char* first, ...);
    // Resource messages are accepted and dropped.
    void Ressource(const char* text);

    // True while an unread entry exists and a fatal message has been logged.
    bool HasSomething();
    // Entry index mod 100; the read position is not changed.
    const char* Get(int index);
    // The next entry not yet handed out.
    const char* Get();

    int Position() { return position; }
    int ReadPosition() { return readPosition; }

private:
    void write(std::string text, unsigned int messageLevel);

    std::string entries[EntryCount];
    int position = 0;
    int readPosition = 0;
    unsigned int level = LOGLEVEL_NONE;
};

} // namespace Engine::Util

// Same as Logger::Instance(), for programs that link the engine.
ENGINE_API Engine::Util::Logger* getLoggerInstance();
