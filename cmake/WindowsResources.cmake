# The resources every Windows program of the project carries: the manifest
# (common controls 6, DPI awareness, asInvoker, Windows 7 to 11), the version
# from project(VERSION), and an icon where one is given.
#
#   zort_windows_resources(<target> DESCRIPTION <text> [ICON <file.ico>])
function(zort_windows_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;ICON" "" ${ARGN})
  set(ZORT_RES_NAME ${target})
  set(ZORT_RES_FILE ${target}.exe)
  set(ZORT_RES_ASSEMBLY "Zort.${target}")
  set(ZORT_RES_DESCRIPTION "${ARG_DESCRIPTION}")
  set(ZORT_RES_PRODUCT "${ZORT_PRODUCT_NAME}")
  set(ZORT_RES_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(ZORT_RES_MANIFEST ${dir}/${target}.manifest)
  if(ARG_ICON)
    set(ZORT_RES_ICON_LINE "1 ICON \"${ARG_ICON}\"")
  else()
    set(ZORT_RES_ICON_LINE "")
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${ZORT_RES_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${dir}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # The rc file names these; a change to them must rebuild it.
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${ZORT_RES_MANIFEST};${ARG_ICON}")
endfunction()
