#include <Engine/Util/EffectSettings.h>
#include <new>

namespace Engine::Util {

EffectSettings* EffectSettings::instance = nullptr;

EffectSettings* EffectSettings::Instance() {
    if (instance == nullptr) {
        instance = new (std::nothrow) EffectSettings();
    }
    return instance;
}

} // namespace Engine::Util

Engine::Util::EffectSettings* getEffectSettingsInstance() {
    return Engine::Util::EffectSettings::Instance();
}
