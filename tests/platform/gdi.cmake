# The graphics services. A small module carries the effects' pictures as
# bitmap resources, so LoadBitmapA is tested on a real resource block.
add_library(gdi_test_pictures MODULE fixtures/pictures_module.cpp)
zol_resources(gdi_test_pictures ${CMAKE_CURRENT_SOURCE_DIR}/fixtures/pictures.rc)
set_target_properties(gdi_test_pictures PROPERTIES
  PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/modules)

add_executable(platform_gdi_tests
  gdi_objects_test.cpp gdi_fonts_test.cpp gdi_paths_test.cpp gdi_text_test.cpp gdi_families_test.cpp)
target_link_libraries(platform_gdi_tests PRIVATE zolplatform PkgConfig::FREETYPE GTest::gtest_main)
target_compile_definitions(platform_gdi_tests PRIVATE
  ZOL_TEST_PICTURES="$<TARGET_FILE:gdi_test_pictures>")
add_dependencies(platform_gdi_tests gdi_test_pictures)
set_target_properties(platform_gdi_tests PROPERTIES BUILD_RPATH ${ZOL_PLUGIN_DIR})
gtest_discover_tests(platform_gdi_tests DISCOVERY_TIMEOUT 60)
