# The simulated host's sources, room by room, for every build that uses them (native, Windows,
# WebAssembly, fuzz, bench). Each build takes the rooms it needs and its target's platform room.
set(KOV_SIM_DIR ${CMAKE_CURRENT_LIST_DIR}/../sim)
cmake_path(NORMAL_PATH KOV_SIM_DIR)

# The escaping of texts for the trace and a terminal (the tools' signal and message code, which the
# benchmarks' host shares, prints through it).
set(KOV_SIM_TEXT_ESCAPE_SOURCES ${KOV_SIM_DIR}/game/text_escape.cpp)

# game/: the simulated game, its host (script hook emulation, world, trace, screen model), and the
# script hook library's six operations, which forward to it.
set(KOV_SIM_GAME_SOURCES
  ${KOV_SIM_DIR}/game/host.cpp
  ${KOV_SIM_DIR}/game/host_hash.cpp
  ${KOV_SIM_DIR}/game/frame_summary.cpp
  ${KOV_SIM_DIR}/game/screen_model.cpp
  ${KOV_SIM_DIR}/game/trace_line.cpp
  ${KOV_SIM_TEXT_ESCAPE_SOURCES}
  ${KOV_SIM_DIR}/game/virtual_platform.cpp)
set(KOV_SIM_HOOK_SOURCES ${KOV_SIM_DIR}/game/script_hook.cpp)

# world/: the game's own San Andreas, parsed and indexed once. Every build with the location
# natives takes it and embeds the data through cmake/world_data.cmake (KOV_SIM_WORLD_DATA_SOURCE).
set(KOV_SIM_WORLD_SOURCES ${KOV_SIM_DIR}/world/san_andreas.cpp ${KOV_SIM_DIR}/world/map_index.cpp)

# natives/: the native table joined with one handler file per subsystem of the plug-in, and the
# check of a call's argument slots (the minimal host of the benchmarks takes that one too).
set(KOV_SIM_ARGUMENT_CHECK_SOURCES ${KOV_SIM_DIR}/natives/argument_check.cpp)
set(KOV_SIM_NATIVE_SOURCES
  ${KOV_SIM_ARGUMENT_CHECK_SOURCES}
  ${KOV_SIM_DIR}/natives/native_table.cpp
  ${KOV_SIM_DIR}/natives/core_natives.cpp
  ${KOV_SIM_DIR}/natives/text_natives.cpp
  ${KOV_SIM_DIR}/natives/location_natives.cpp
  ${KOV_SIM_DIR}/natives/controls_natives.cpp
  ${KOV_SIM_DIR}/natives/players_natives.cpp
  ${KOV_SIM_DIR}/natives/screen_natives.cpp
  ${KOV_SIM_WORLD_SOURCES})

# ini/: KOV.ini as the host reads it: its bytes and encodings, the code page, the lookup.
set(KOV_SIM_INI_SOURCES
  ${KOV_SIM_DIR}/ini/code_page_1252.cpp
  ${KOV_SIM_DIR}/ini/utf.cpp
  ${KOV_SIM_DIR}/ini/ini_text.cpp
  ${KOV_SIM_DIR}/ini/ini_lookup.cpp
  ${KOV_SIM_DIR}/ini/profile_writer.cpp)

# scenario/: scenario files and their runs.
set(KOV_SIM_SCENARIO_SOURCES
  ${KOV_SIM_DIR}/scenario/scenario.cpp
  ${KOV_SIM_DIR}/scenario/scenario_run.cpp)

# platform/: file helpers and temporary paths everywhere; the fiber, the plug-in loader and (POSIX)
# the platform functions the plug-in imports, one folder per target.
set(KOV_SIM_FILE_SOURCES
  ${KOV_SIM_DIR}/platform/files.cpp
  ${KOV_SIM_DIR}/platform/temporary_paths.cpp)
set(KOV_SIM_POSIX_SOURCES
  ${KOV_SIM_DIR}/platform/posix/fiber.cpp
  ${KOV_SIM_DIR}/platform/posix/plugin_module.cpp
  ${KOV_SIM_DIR}/platform/posix/settings_file_state.cpp)
set(KOV_SIM_POSIX_EXPORT_SOURCES ${KOV_SIM_DIR}/platform/posix/platform_exports.cpp)
set(KOV_SIM_WIN32_SOURCES
  ${KOV_SIM_DIR}/platform/win32/fiber.cpp
  ${KOV_SIM_DIR}/platform/win32/plugin_module.cpp
  ${KOV_SIM_DIR}/platform/win32/settings_file_state.cpp)
# The plug-in linked in rather than loaded (the page, the fuzz targets): each program says how its
# records get their load-time values (sim/platform/linked/linked_plugin.h).
set(KOV_SIM_LINKED_PLUGIN_SOURCES ${KOV_SIM_DIR}/platform/linked/plugin_module.cpp)
set(KOV_SIM_EMSCRIPTEN_SOURCES
  ${KOV_SIM_DIR}/platform/emscripten/fiber.cpp
  ${KOV_SIM_DIR}/platform/emscripten/fresh_plugin.cpp
  ${KOV_SIM_DIR}/platform/emscripten/san_andreas_texts.cpp
  ${KOV_SIM_DIR}/platform/posix/settings_file_state.cpp
  ${KOV_SIM_LINKED_PLUGIN_SOURCES})

# Everything a whole simulated host needs but its platform room.
set(KOV_SIM_PORTABLE_SOURCES ${KOV_SIM_GAME_SOURCES} ${KOV_SIM_HOOK_SOURCES} ${KOV_SIM_NATIVE_SOURCES}
    ${KOV_SIM_INI_SOURCES} ${KOV_SIM_SCENARIO_SOURCES} ${KOV_SIM_FILE_SOURCES})
