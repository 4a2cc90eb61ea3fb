# Windows (MinGW-w64): KOV.asi, the simulated host as the emulated ScriptHookV.dll, kov-sim.exe,
# and the checks of the shipped DLL that run under Wine.

# Every artefact carries its own C and C++ runtime: no libstdc++, libgcc or winpthread DLLs.
set(KOV_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# The JSON package's include directory is the host's /usr/include; handing that to the cross
# compiler would put glibc's headers before MinGW's, so expose only the nlohmann folder.
get_target_property(KOV_JSON_INCLUDE nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
list(GET KOV_JSON_INCLUDE 0 KOV_JSON_INCLUDE)
set(KOV_JSON_ONLY ${CMAKE_BINARY_DIR}/json-include)
file(MAKE_DIRECTORY ${KOV_JSON_ONLY})
file(CREATE_LINK ${KOV_JSON_INCLUDE}/nlohmann ${KOV_JSON_ONLY}/nlohmann SYMBOLIC)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${KOV_JSON_ONLY})

# ---- KOV.asi ---------------------------------------------------------------------------------
# The import library maps the plug-in's GCC-mangled references to the six decorated names.
set(KOV_HOOK_DEF ${CMAKE_SOURCE_DIR}/cmake/ScriptHookV.def)
set(KOV_HOOK_IMPLIB ${CMAKE_BINARY_DIR}/libScriptHookV-imports.a)
add_custom_command(
  OUTPUT ${KOV_HOOK_IMPLIB}
  COMMAND ${KOV_DLLTOOL} -d ${KOV_HOOK_DEF} -l ${KOV_HOOK_IMPLIB} -D ScriptHookV.dll
  DEPENDS ${KOV_HOOK_DEF}
  COMMENT "Import library for ScriptHookV.dll")
add_custom_target(kov_hook_imports DEPENDS ${KOV_HOOK_IMPLIB})

set_target_properties(kov_plugin PROPERTIES SUFFIX ".asi")
target_compile_options(kov_plugin PRIVATE -ffunction-sections -fdata-sections)
# Stripped, unused sections dropped, nothing exported (the loader finds DllMain as the entry), and
# no link time in the header, so the same sources give the same bytes.
target_link_options(kov_plugin PRIVATE ${KOV_STATIC_RUNTIME} -s -Wl,--gc-sections -Wl,--exclude-all-symbols
                    -Wl,--no-insert-timestamp)
target_link_libraries(kov_plugin PRIVATE ${KOV_HOOK_IMPLIB})
add_dependencies(kov_plugin kov_hook_imports)

# ---- the emulated ScriptHookV.dll and kov-sim.exe --------------------------------------------
# The simulated host is the DLL KOV.asi binds to. It exports the six decorated names and, for
# kov-sim.exe, the rest of the simulated host (not the static runtime inside it: kov-sim.exe has
# its own). With --export-all-symbols the linker exports each definition under its own name, so the
# decorated names are added as aliases, "decorated" = mangled, written from the same .def.
set(KOV_HOOK_EXPORTS_DEF ${CMAKE_BINARY_DIR}/ScriptHookV-exports.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOV_HOOK_DEF})
file(STRINGS ${KOV_HOOK_DEF} KOV_HOOK_LINES REGEX "==")
set(KOV_HOOK_EXPORTS "LIBRARY ScriptHookV.dll\nEXPORTS\n")
foreach(line ${KOV_HOOK_LINES})
  string(REGEX REPLACE "^ *([^ ]+) *== *(\"[^\"]+\").*$" "    \\2 = \\1" line "${line}")
  string(APPEND KOV_HOOK_EXPORTS "${line}\n")
endforeach()
file(WRITE ${KOV_HOOK_EXPORTS_DEF}.new "${KOV_HOOK_EXPORTS}")
file(COPY_FILE ${KOV_HOOK_EXPORTS_DEF}.new ${KOV_HOOK_EXPORTS_DEF} ONLY_IF_DIFFERENT)

include(cmake/world_data.cmake)
add_library(kovsim SHARED ${KOV_SIM_PORTABLE_SOURCES} ${KOV_SIM_WORLD_DATA_SOURCE} ${KOV_SIM_WIN32_SOURCES} ${KOV_HOOK_EXPORTS_DEF})
set_target_properties(kovsim PROPERTIES PREFIX "" OUTPUT_NAME "ScriptHookV")
target_include_directories(kovsim PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kovsim PUBLIC nlohmann_json::nlohmann_json)
target_compile_options(kovsim PRIVATE -Wall -Wextra)
target_link_options(kovsim PRIVATE ${KOV_STATIC_RUNTIME} -s -Wl,--export-all-symbols -Wl,--exclude-libs,ALL)

add_executable(kov-sim ${KOV_SIM_TOOL_SOURCES})
target_link_libraries(kov-sim PRIVATE kovsim)
target_link_options(kov-sim PRIVATE ${KOV_STATIC_RUNTIME} -s)
add_dependencies(kov-sim kov_plugin)

# ---- checks (on Linux: objdump for the import table, Wine for the Windows programs) -------
enable_testing()
add_subdirectory(tests/wine)
