#pragma once

#include <Engine/Export.h>

namespace Engine::Util {

// The driver's debug output (KHR_debug, core since OpenGL 4.3), synchronous so
// that each message arrives inside the call that caused it. Every GL error and
// every high-severity message goes to the handler with the pass the frame was
// in (set with Pass; "outside the frame" between frames). The shader
// compiler's messages are left to the shaders' own logs. Test and debug
// builds turn it on; it costs nothing while off.
class ENGINE_API GLDebugOutput {
public:
    using Handler = void (*)(char const* pass, char const* message);

    // Turns the output on in the current context. False when the context has
    // no debug output; nothing is changed then.
    static bool Enable(Handler handler);
    // Turns it off again in the current context.
    static void Disable();
    static bool Enabled();

    // Names the pass that the following GL calls belong to; null for none.
    static void Pass(char const* name) { pass = name; }
    static char const* CurrentPass() { return pass != nullptr ? pass : "outside the frame"; }

    // A handler that logs "FATAL GL debug output in PASS: MESSAGE" on the
    // engine's log (the program's choice in debug builds).
    static void LogFatal(char const* pass, char const* message);

private:
    static char const* pass;
};

} // namespace Engine::Util
