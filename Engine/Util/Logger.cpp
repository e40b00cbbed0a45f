#include <Engine/Util/Logger.h>
#include <cstdarg>
#include <iostream>

namespace Engine::Util {

Logger* Logger::Instance() {
    static Logger* instance = new Logger();
    return instance;
}

Logger::Logger() = default;

void Logger::write(std::string text, unsigned int messageLevel) {
    std::cout << text << std::endl;
    entries[position] = std::move(text);
    position = (position + 1) % EntryCount;
    if (messageLevel < level) {
        level = messageLevel;
    }
}

void Logger::Fatal(const char* text) {
    write(std::string("FATAL ") + (text ? text : ""), LOGLEVEL_FATAL);
}

void Logger::Message(const char* first, ...) {
    std::string text;
    va_list args;
    va_start(args, first);
    for (const char* part = first; part != nullptr; part = va_arg(args, const char*)) {
        text += part;
    }
    va_end(args);
    write(std::move(text), LOGLEVEL_MESSAGE);
}

void Logger::Ressource(const char*) {}

bool Logger::HasSomething() {
    return position != readPosition && level == LOGLEVEL_FATAL;
}

const char* Logger::Get(int index) {
    return entries[index % EntryCount].c_str();
}

const char* Logger::Get() {
    const char* entry = entries[readPosition].c_str();
    readPosition = (readPosition + 1) % EntryCount;
    return entry;
}

} // namespace Engine::Util

Engine::Util::Logger* getLoggerInstance() {
    return Engine::Util::Logger::Instance();
}
