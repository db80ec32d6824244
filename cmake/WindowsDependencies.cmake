# The Windows build's libraries, cross-built by scripts/build-windows into the prefixes it
# passes in CMAKE_PREFIX_PATH, and the Windows parts of the executable.

find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)

# windows.h without its min/max macros and rarely used parts, in its UTF-16 flavour.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)

# QCustomPlot's own package; its users must import the DLL's classes (static members too).
find_package(QCustomPlotQt6 REQUIRED)
set_property(TARGET QCustomPlotQt6::QCustomPlotQt6 APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS QCUSTOMPLOT_USE_LIBRARY)

# MariaDB Connector/C.
find_library(MARIADB_LIBRARY NAMES libmariadb mariadb REQUIRED)
find_path(MARIADB_INCLUDE_DIR mysql.h PATH_SUFFIXES mariadb REQUIRED)
add_library(zemlo::mariadb UNKNOWN IMPORTED)
set_target_properties(zemlo::mariadb PROPERTIES
  IMPORTED_LOCATION ${MARIADB_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${MARIADB_INCLUDE_DIR})

# Debian has no Qt SVG source to cross-build: the SVG artwork is rendered to PNG on the host
# by tools/render-artwork and goes into the resources under its SVG name (Qt reads the
# picture by its content).
set(ZEMLO_ARTWORK_TOOL "" CACHE FILEPATH "The host's render-artwork program (tools/render-artwork)")
if(NOT EXISTS "${ZEMLO_ARTWORK_TOOL}")
  message(FATAL_ERROR "The Windows build needs ZEMLO_ARTWORK_TOOL, the host's render-artwork (scripts/build-windows builds it)")
endif()

# Renders `kind` (png or ico) of the SVG `source` to `output`.
function(zemlo_render_artwork kind source output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${ZEMLO_ARTWORK_TOOL} ${kind} ${source} ${output}
    DEPENDS ${source} ${ZEMLO_ARTWORK_TOOL}
    VERBATIM)
endfunction()

# Sets `out` to the files given, each SVG replaced by its PNG rendering under the SVG's name.
function(zemlo_artwork_as_png out)
  set(result)
  foreach(file ${ARGN})
    if(file MATCHES "\\.svg$")
      set(png ${CMAKE_BINARY_DIR}/artwork/${file})
      zemlo_render_artwork(png ${CMAKE_CURRENT_SOURCE_DIR}/${file} ${png})
      set_source_files_properties(${png} PROPERTIES GENERATED TRUE QT_RESOURCE_ALIAS ${file})
      list(APPEND result ${png})
    else()
      list(APPEND result ${file})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The program's icon and a VERSIONINFO resource of the project version, compiled into an
# executable. The tests carry it too: the version is read back from the running executable.
function(zemlo_windows_resources target)
  set(icon ${PROJECT_BINARY_DIR}/artwork/zemlo-viewer.ico)
  set(script ${PROJECT_BINARY_DIR}/generated/zemlo-viewer.rc)
  if(NOT TARGET zemlo_windows_icon)
    zemlo_render_artwork(ico ${PROJECT_SOURCE_DIR}/resources/windows/zemlo-viewer.svg ${icon})
    add_custom_target(zemlo_windows_icon DEPENDS ${icon})
    set(ZEMLO_ICON ${icon})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/zemlo-viewer.rc.in ${script} @ONLY)
  endif()
  set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS ${icon} GENERATED TRUE)
  target_sources(${target} PRIVATE ${script})
  add_dependencies(${target} zemlo_windows_icon)
endfunction()

# A GUI executable with the program's resources.
function(zemlo_windows_executable target)
  zemlo_windows_resources(${target})
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
endfunction()
