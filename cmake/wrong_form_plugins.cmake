# Plug-ins that push one native in a form the current game does not expect, for the tests that
# prove the hosts fail such a run: the plug-in built from a copy of src/host/natives.h with one
# wrapper's call edited, and otherwise exactly as kov_plugin is built. Two faults, on each of the
# three natives whose trailing argument the plug-in pushes as the game's own scripts do:
#   short: the older, shorter form, the trailing argument left out (the game reads a stale slot);
#   one:   the trailing argument pushed as 1 / true instead of the game's own 0 / false.
#
# kov_wrong_form_plugins(DIR) adds kov_plugin_wrong_<name> for each form, written to DIR as
# KOV-wrong-<name> with the plug-in's suffix, and sets KOV_WRONG_FORM_PLUGINS to the targets.
# KOV_WRONG_FORM_FAULT_<name> is the fault (short or one), KOV_WRONG_FORM_SLOT_<name> the argument
# slot the hosts name, and KOV_WRONG_FORM_MESSAGE_<name> the start of their message as a regular
# expression.

# The start of each fault's message, as a regular expression: the native, the slot and the call.
set(KOV_WRONG_FORM_PATTERN_short "native 0x[0-9A-F]+ \\([^)]+\\) reads argument slot SLOT, which call [0-9]+ of frame [0-9]+ did not push")
set(KOV_WRONG_FORM_PATTERN_one "native 0x[0-9A-F]+ \\([^)]+\\) argument slot SLOT of call [0-9]+ of frame [0-9]+ holds 0x0000000000000001: the game's own scripts pass")

set(KOV_WRONG_FORMS)
# kov_wrong_form(NAME FAULT SLOT CURRENT EDITED)
macro(kov_wrong_form name fault slot current edited)
  list(APPEND KOV_WRONG_FORMS ${name})
  set(KOV_WRONG_FORM_FAULT_${name} ${fault})
  set(KOV_WRONG_FORM_SLOT_${name} ${slot})
  string(REPLACE SLOT ${slot} KOV_WRONG_FORM_MESSAGE_${name} "${KOV_WRONG_FORM_PATTERN_${fault}}")
  set(KOV_WRONG_FORM_CURRENT_${name} "${current}")
  set(KOV_WRONG_FORM_EDITED_${name} "${edited}")
endmacro()

kov_wrong_form(entity-dead-short short 2 "(0x5F9532F3B5CC2551, entity, false)" "(0x5F9532F3B5CC2551, entity)")
kov_wrong_form(text-draw-short   short 3 "(0xCD015E5BB0D96A57, x, y, 0)"       "(0xCD015E5BB0D96A57, x, y)")
kov_wrong_form(draw-rect-short   short 9 "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a, false)"
                                         "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a)")
kov_wrong_form(entity-dead-one   one   2 "(0x5F9532F3B5CC2551, entity, false)" "(0x5F9532F3B5CC2551, entity, true)")
kov_wrong_form(text-draw-one     one   3 "(0xCD015E5BB0D96A57, x, y, 0)"       "(0xCD015E5BB0D96A57, x, y, 1)")
kov_wrong_form(draw-rect-one     one   9 "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a, false)"
                                         "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a, true)")

set(KOV_NATIVES_HEADER ${CMAKE_SOURCE_DIR}/src/host/natives.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOV_NATIVES_HEADER})

function(kov_wrong_form_plugins dir)
  file(READ ${KOV_NATIVES_HEADER} wrappers)
  set(targets)
  foreach(name ${KOV_WRONG_FORMS})
    set(current "${KOV_WRONG_FORM_CURRENT_${name}}")
    string(FIND "${wrappers}" "${current}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "src/host/natives.h has no \"${current}\" to edit for the ${name} plug-in")
    endif()
    string(REPLACE "${current}" "${KOV_WRONG_FORM_EDITED_${name}}" edited "${wrappers}")
    set(header ${dir}/${name}/host/natives.h)
    file(WRITE ${header}.new "${edited}")
    file(COPY_FILE ${header}.new ${header} ONLY_IF_DIFFERENT)

    set(target kov_plugin_wrong_${name})
    add_library(${target} MODULE ${KOV_PLUGIN_SOURCES})
    foreach(property INCLUDE_DIRECTORIES COMPILE_OPTIONS LINK_OPTIONS LINK_LIBRARIES PREFIX SUFFIX)
      get_target_property(value kov_plugin ${property})
      if(NOT value MATCHES "-NOTFOUND$")
        set_property(TARGET ${target} PROPERTY ${property} "${value}")
      endif()
    endforeach()
    get_target_property(dependencies kov_plugin MANUALLY_ADDED_DEPENDENCIES)
    if(dependencies)
      add_dependencies(${target} ${dependencies})
    endif()
    # The edited copy comes first, so every #include "host/natives.h" finds it.
    target_include_directories(${target} BEFORE PRIVATE ${dir}/${name})
    # One translation unit each: six copies of the plug-in would otherwise cost six full builds of it.
    set_target_properties(${target} PROPERTIES OUTPUT_NAME KOV-wrong-${name} LIBRARY_OUTPUT_DIRECTORY ${dir}
                          RUNTIME_OUTPUT_DIRECTORY ${dir} UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    list(APPEND targets ${target})
  endforeach()
  set(KOV_WRONG_FORM_PLUGINS ${targets} PARENT_SCOPE)
endfunction()
