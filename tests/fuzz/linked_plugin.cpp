// The fuzz targets' linked-in plug-in is a shared library linked in at start-up: a load puts back
// the writable data it had before its first load (fresh_load.h), so the records are as the dynamic
// linker left them, without a copy or a dlopen per input.
#include "sim/platform/linked/linked_plugin.h"
#include "fresh_load.h"

namespace sim {

Status FreshLinkedPlugin() {
    static const bool saved = (fuzz::SaveLoadTimeImage("libkov_fuzz_plugin"), true);  // before its first run
    (void)saved;
    fuzz::RestoreLoadTimeImage();
    return {};
}

}  // namespace sim
