# Plug-ins that push the older, shorter form of one native each, for the tests that prove the hosts
# fail such a run: the plug-in built from a copy of src/host/natives.h with that wrapper's last
# argument taken out, and otherwise exactly as kov_plugin is built.
#
# kov_short_form_plugins(DIR) adds kov_plugin_short_<name> for each form, written to DIR as
# KOV-short-<name> with the plug-in's suffix, and sets KOV_SHORT_FORM_PLUGINS to the targets.
# KOV_SHORT_FORM_SLOT_<name> is the argument slot the game reads but the form does not push.

set(KOV_SHORT_FORMS entity-dead text-draw draw-rect)
set(KOV_SHORT_FORM_CURRENT_entity-dead "(0x5F9532F3B5CC2551, entity, false)")
set(KOV_SHORT_FORM_SHORT_entity-dead "(0x5F9532F3B5CC2551, entity)")
set(KOV_SHORT_FORM_SLOT_entity-dead 2)
set(KOV_SHORT_FORM_CURRENT_text-draw "(0xCD015E5BB0D96A57, x, y, 0)")
set(KOV_SHORT_FORM_SHORT_text-draw "(0xCD015E5BB0D96A57, x, y)")
set(KOV_SHORT_FORM_SLOT_text-draw 3)
set(KOV_SHORT_FORM_CURRENT_draw-rect "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a, false)")
set(KOV_SHORT_FORM_SHORT_draw-rect "(0x3A618A217E5154F0, x, y, w, h, r, g, b, a)")
set(KOV_SHORT_FORM_SLOT_draw-rect 9)

set(KOV_NATIVES_HEADER ${CMAKE_SOURCE_DIR}/src/host/natives.h)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KOV_NATIVES_HEADER})

function(kov_short_form_plugins dir)
  file(READ ${KOV_NATIVES_HEADER} wrappers)
  set(targets)
  foreach(name ${KOV_SHORT_FORMS})
    set(current "${KOV_SHORT_FORM_CURRENT_${name}}")
    string(FIND "${wrappers}" "${current}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "src/host/natives.h has no \"${current}\" to shorten for the ${name} plug-in")
    endif()
    string(REPLACE "${current}" "${KOV_SHORT_FORM_SHORT_${name}}" shortened "${wrappers}")
    set(header ${dir}/${name}/host/natives.h)
    file(WRITE ${header}.new "${shortened}")
    file(COPY_FILE ${header}.new ${header} ONLY_IF_DIFFERENT)

    set(target kov_plugin_short_${name})
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
    # The shortened copy comes first, so every #include "host/natives.h" finds it.
    target_include_directories(${target} BEFORE PRIVATE ${dir}/${name})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME KOV-short-${name} LIBRARY_OUTPUT_DIRECTORY ${dir}
                          RUNTIME_OUTPUT_DIRECTORY ${dir})
    list(APPEND targets ${target})
  endforeach()
  set(KOV_SHORT_FORM_PLUGINS ${targets} PARENT_SCOPE)
endfunction()
