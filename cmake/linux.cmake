# Linux: KOV.so, the simulated host as a shared library the plug-in binds to when loaded, the
# tools, the tests and the benchmarks.

# g++ may mark symbols STB_GNU_UNIQUE: one definition then serves the whole process, so a second copy
# of the plug-in would use the first copy's records (and dlclose would leave it mapped).
target_compile_options(kov_plugin PRIVATE -fno-gnu-unique -fno-plt)
set_target_properties(kov_plugin PROPERTIES SUFFIX ".so")
# Like a DLL, the plug-in's own references bind to its own definitions, never to a same-named
# symbol of the process that loads it.
target_link_options(kov_plugin PRIVATE -Wl,-Bsymbolic)

include(cmake/world_data.cmake)
add_library(kovsim SHARED ${KOV_SIM_PORTABLE_SOURCES} ${KOV_SIM_WORLD_DATA_SOURCE} ${KOV_SIM_POSIX_SOURCES} ${KOV_SIM_POSIX_EXPORT_SOURCES})
target_include_directories(kovsim PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kovsim PUBLIC nlohmann_json::nlohmann_json ${CMAKE_DL_LIBS})
target_compile_options(kovsim PRIVATE -Wall -Wextra)

add_executable(kov-sim ${KOV_SIM_TOOL_SOURCES})
target_link_libraries(kov-sim PRIVATE kovsim)
add_dependencies(kov-sim kov_plugin)

enable_testing()
add_subdirectory(tests)
add_subdirectory(bench)
add_subdirectory(tests/alloc)
include(cmake/tools.cmake)
