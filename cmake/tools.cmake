# The picture tools: a renderer of the simulated host's draw lists (cairo), kov-preview and
# kov-demo, and the renderer's share of the tests.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft fontconfig)

add_library(kovpreview STATIC ${KOV_PREVIEW_PORTABLE_SOURCES} ${KOV_PREVIEW_CAIRO_SOURCES} ${KOV_SETTING_VALUE_SOURCE}
            ${KOV_DEMO_SOURCES} tools/kov_sim_options.cpp tools/guarded_main.cpp)
target_link_libraries(kovpreview PUBLIC kovsim PkgConfig::CAIRO)
target_compile_options(kovpreview PRIVATE -Wall -Wextra)

foreach(tool kov-preview kov-demo)
  string(REPLACE "-" "_" source ${tool})
  add_executable(${tool} tools/${source}.cpp)
  target_link_libraries(${tool} PRIVATE kovpreview)
  target_compile_options(${tool} PRIVATE -Wall -Wextra)
  add_dependencies(${tool} kov_plugin)
endforeach()

target_link_libraries(kov_tests PRIVATE kovpreview)
target_compile_definitions(kov_tests PRIVATE KOV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_compile_definitions(kov_tests PRIVATE KOV_PREVIEW_PATH="$<TARGET_FILE:kov-preview>" KOV_DEMO_PATH="$<TARGET_FILE:kov-demo>")
add_dependencies(kov_tests kov-preview kov-demo)
