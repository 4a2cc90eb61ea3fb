// The plug-in in the WebAssembly build: there is no dynamic loading, so the plug-in is linked into
// the program. Its process-wide records are at their load-time state only once per instance of the
// program; a second load in the same instance is refused, and the page starts a fresh instance for
// every run.
#include "sim/platform/linked/linked_plugin.h"

namespace sim {

Status FreshLinkedPlugin() {
    static bool loadedBefore = false;
    if (loadedBefore) {
        return Failure(
            "the linked-in plug-in was loaded before in this instance, so its records are no longer "
            "at their load-time state; run it in a fresh instance");
    }
    loadedBefore = true;
    return {};
}

}  // namespace sim
