# zol_resources(TARGET MANIFEST): compiles the resource manifest (lines of
# "TYPE ID FILE", TYPE one of properties, bitmap, dialog) into the module's
# resource block and adds it to TARGET's sources.
function(zol_resources target manifest)
  get_filename_component(manifest_abs ${manifest} ABSOLUTE)
  get_filename_component(manifest_dir ${manifest_abs} DIRECTORY)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  file(STRINGS ${manifest_abs} lines)
  set(deps ${manifest_abs})
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*[a-z]+[ \t]+[0-9]+[ \t]+([^ \t]+)")
      list(APPEND deps ${manifest_dir}/${CMAKE_MATCH_1})
    endif()
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND zolrc ${manifest_abs} ${out}
    DEPENDS zolrc ${deps}
    COMMENT "Resources of ${target}")
  target_sources(${target} PRIVATE ${out})
endfunction()

# zol_plugin(TARGET FILE_NAME SOURCES...): an effect plug-in with its shipped
# file name in the plug-in folder, exporting `main` and nothing else.
function(zol_plugin target file_name)
  add_library(${target} MODULE ${ARGN})
  string(REGEX MATCH "\\.[^.]+$" suffix ${file_name})
  string(REGEX REPLACE "\\.[^.]+$" "" base ${file_name})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${base} SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY ${ZOL_PLUGIN_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    BUILD_RPATH "$ORIGIN" INSTALL_RPATH "$ORIGIN")
  target_link_libraries(${target} PRIVATE zolframework zolplatform)
  target_link_options(${target} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
endfunction()
