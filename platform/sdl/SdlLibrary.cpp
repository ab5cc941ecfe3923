#include "platform/sdl/SdlLibrary.h"

#include <dlfcn.h>

#include <atomic>
#include <string>

#include "platform/posix/DebugOut.h"

namespace {

constexpr const char* kLibrary = "libSDL2-2.0.so.0";

SdlApi g_api;
std::atomic<const SdlApi*> g_loaded{nullptr};
bool g_tried = false;  // under SdlLock(), with the load itself

void SayNoJoysticks(const std::string& why)
{
    OutputDebugLine(("joystick: " + std::string(kLibrary) + " " + why + ", no joysticks\n").c_str());
}

template <typename Function>
bool Resolve(void* library, const char* name, Function& entry)
{
    entry = reinterpret_cast<Function>(dlsym(library, name));
    if (entry != nullptr) return true;
    SayNoJoysticks(std::string("lacks ") + name);
    return false;
}

bool ResolveAll(void* library)
{
#define VANTOR_SDL_RESOLVE(name) \
    if (!Resolve(library, "SDL_" #name, g_api.name)) return false;
    VANTOR_SDL_ENTRY_POINTS(VANTOR_SDL_RESOLVE)
#undef VANTOR_SDL_RESOLVE
    return true;
}

}  // namespace

const SdlApi* LoadSdl()
{
    if (g_tried) return g_loaded.load(std::memory_order_acquire);
    g_tried = true;
    // Local: nothing else in the process should bind to SDL's symbols by accident.
    void* const library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        SayNoJoysticks("is missing");
        return nullptr;
    }
    if (!ResolveAll(library)) {
        dlclose(library);  // none of it has run yet
        return nullptr;
    }
    g_loaded.store(&g_api, std::memory_order_release);
    return &g_api;
}

const SdlApi* LoadedSdl()
{
    return g_loaded.load(std::memory_order_acquire);
}
