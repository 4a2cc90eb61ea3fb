# The game's San Andreas (sim/world/data) built into the program: the three files' texts as string
# literals in a generated source, written again when a file changes. KOV_SIM_WORLD_DATA_SOURCE
# names it for the builds that embed the data.
set(KOV_WORLD_DATA_DIR ${CMAKE_CURRENT_LIST_DIR}/../sim/world/data)
cmake_path(NORMAL_PATH KOV_WORLD_DATA_DIR)
set(KOV_SIM_WORLD_DATA_SOURCE ${CMAKE_BINARY_DIR}/generated/san_andreas_data.cpp)

set(kov_world_data_text "// Generated from sim/world/data by cmake/world_data.cmake: do not edit.\n")
string(APPEND kov_world_data_text "#include \"sim/world/san_andreas.h\"\n\nnamespace sim {\n\n")
string(APPEND kov_world_data_text "SanAndreasTexts BuiltInSanAndreasTexts() {\n    return {\n")
foreach(file zones roads links)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOV_WORLD_DATA_DIR}/${file}.tsv)
  file(READ ${KOV_WORLD_DATA_DIR}/${file}.tsv kov_world_file)
  string(FIND "${kov_world_file}" ")kovdata\"" kov_world_clash)
  if(NOT kov_world_clash EQUAL -1)
    message(FATAL_ERROR "${file}.tsv holds the literal's own delimiter")
  endif()
  string(APPEND kov_world_data_text "        R\"kovdata(${kov_world_file})kovdata\",\n")
endforeach()
string(APPEND kov_world_data_text "    };\n}\n\n}  // namespace sim\n")
file(WRITE ${KOV_SIM_WORLD_DATA_SOURCE}.new "${kov_world_data_text}")
file(COPY_FILE ${KOV_SIM_WORLD_DATA_SOURCE}.new ${KOV_SIM_WORLD_DATA_SOURCE} ONLY_IF_DIFFERENT)
