// The WebAssembly build links the plug-in in (there is no dynamic loading), and its records hold
// their load-time values only in a new instance of the program: so the first load of an instance
// is its only one. The page makes a new instance for every run.
#include "sim/platform/linked/linked_plugin.h"

namespace sim {

Status FreshLinkedPlugin() {
    static bool loadedBefore = false;
    if (loadedBefore) {
        return Failure(
            "the linked-in plug-in was loaded before in this instance, so its records are no longer "
            "at their load-time values; run it in a new instance");
    }
    loadedBefore = true;
    return {};
}

}  // namespace sim
