// The WebAssembly build's loads: the plug-in's records are at their load-time state only once per
// instance of the program, so a second load in the same instance is refused; the page starts a
// fresh instance for every run.
#include "sim/platform/linked_plugin.h"

namespace sim {

bool PrepareLinkedPluginLoad(std::string* error) {
    static bool loadedBefore = false;
    if (loadedBefore) {
        *error = "the linked-in plug-in was loaded before in this instance, so its records are no longer "
                 "at their load-time state; run it in a fresh instance";
        return false;
    }
    loadedBefore = true;
    return true;
}

}  // namespace sim
