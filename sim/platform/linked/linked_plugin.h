// The plug-in linked into the program instead of loaded from a file (the page's WebAssembly build,
// the fuzz targets that run the host): a load calls its entry point directly, once the program
// has made the plug-in's records fresh in its own way.
#pragma once

#include "sim/result.h"

namespace sim {

// Puts the linked-in plug-in's process-wide records at their load-time state for a load, or says
// why that cannot be done. Each program that links the plug-in in provides it.
Status FreshLinkedPlugin();

}  // namespace sim
