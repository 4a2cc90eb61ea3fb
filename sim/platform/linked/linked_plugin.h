// What a program that links the plug-in in provides to its loader (plugin_module.cpp beside this).
#pragma once

#include "sim/result.h"

namespace sim {

// Puts the linked-in plug-in's process-wide records at their load-time values for a load, or says
// why that cannot be done.
Status FreshLinkedPlugin();

}  // namespace sim
