# The version of Wayglass, written once. Every CMake project that builds the plug-in includes this
# before its project() call and passes it as the project version; the plug-in's texts, the tests
# and the release zip's name (Makefile) all take it from here.
set(KOV_VERSION 3.50)

set(KOV_VERSION_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/kov_version.h.in)

# kov_version_header(TARGET): generates kov_version.h ("V" and the project version) in the build
# tree and puts it on TARGET's include path.
function(kov_version_header target)
  set(dir ${CMAKE_BINARY_DIR}/generated)
  configure_file(${KOV_VERSION_TEMPLATE} ${dir}/kov_version.h @ONLY)
  target_include_directories(${target} PRIVATE ${dir})
endfunction()
