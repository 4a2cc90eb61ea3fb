// The plug-in of the fuzz targets that run the simulated host is linked in as a shared library: a
// load puts back its load-time image (fresh_load.h), as a fresh copy of KOV.so would have it,
// without a copy or a dlopen per input.
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
