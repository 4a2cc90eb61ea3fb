# The tools' sources, for the native build, the Windows build (kov-sim.exe) and the page.
set(KOV_TOOLS_DIR ${CMAKE_CURRENT_LIST_DIR}/../tools)
cmake_path(NORMAL_PATH KOV_TOOLS_DIR)

# kov-sim: its command line over the shared parser.
set(KOV_SIM_TOOL_SOURCES
  ${KOV_TOOLS_DIR}/kov_sim.cpp
  ${KOV_TOOLS_DIR}/kov_sim_options.cpp
  ${KOV_TOOLS_DIR}/command_line.cpp
  ${KOV_TOOLS_DIR}/guarded_main.cpp)

# ini/: KOV.ini as a player edits it, for the tools and the page: the editor, the check and the
# plug-in's reading of each setting over a run's lookups (KOV_INI_FILE_TOOLS_SOURCES, which need
# only the INI room), and the claims about a file, which run the plug-in in a scene. They read a
# value through the plug-in's own ReadSettingValue: a program that does not link the plug-in in
# adds KOV_SETTING_VALUE_SOURCE.
set(KOV_SETTING_VALUE_SOURCE ${KOV_TOOLS_DIR}/../src/config/setting_value.cpp)
set(KOV_INI_FILE_TOOLS_SOURCES
  ${KOV_TOOLS_DIR}/ini/ini_document.cpp
  ${KOV_TOOLS_DIR}/ini/ini_edit.cpp
  ${KOV_TOOLS_DIR}/ini/ini_check.cpp
  ${KOV_TOOLS_DIR}/ini/settings_read.cpp)
set(KOV_INI_TOOLS_SOURCES
  ${KOV_INI_FILE_TOOLS_SOURCES}
  ${KOV_TOOLS_DIR}/ini/every_setting_scene.cpp
  ${KOV_TOOLS_DIR}/ini/settings_claims.cpp)

# The preview's portable share: options, scenes, the world of a preview, its run, the renderer and
# the measurements; the page builds it with its canvas painter.
set(KOV_PREVIEW_PORTABLE_SOURCES
  ${KOV_INI_TOOLS_SOURCES}
  ${KOV_TOOLS_DIR}/command_line.cpp
  ${KOV_TOOLS_DIR}/preview/common_screens.cpp
  ${KOV_TOOLS_DIR}/preview/gap_report.cpp
  ${KOV_TOOLS_DIR}/preview/placements.cpp
  ${KOV_TOOLS_DIR}/preview/preview_options.cpp
  ${KOV_TOOLS_DIR}/preview/preview_run.cpp
  ${KOV_TOOLS_DIR}/preview/preview_world.cpp
  ${KOV_TOOLS_DIR}/preview/render.cpp
  ${KOV_TOOLS_DIR}/preview/scene_presets.cpp
  ${KOV_TOOLS_DIR}/preview/screen_view.cpp
  ${KOV_TOOLS_DIR}/preview/text_runs.cpp)
# Pictures in files, through cairo.
set(KOV_PREVIEW_CAIRO_SOURCES
  ${KOV_TOOLS_DIR}/preview/cairo_painter.cpp
  ${KOV_TOOLS_DIR}/preview/picture.cpp
  ${KOV_TOOLS_DIR}/preview/preview_check.cpp
  ${KOV_TOOLS_DIR}/preview/preview_picture.cpp
  ${KOV_TOOLS_DIR}/preview/png_file.cpp)

# kov-demo's command line, its checks and its record of the pictures it wrote.
set(KOV_DEMO_SOURCES
  ${KOV_TOOLS_DIR}/kov_demo_options.cpp
  ${KOV_TOOLS_DIR}/demo/demo_check.cpp
  ${KOV_TOOLS_DIR}/demo/picture_manifest.cpp)
