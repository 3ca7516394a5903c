# The form framework: forms built in the tests, run by the script driver.
add_executable(platform_forms_tests forms_controls_test.cpp forms_script_test.cpp)
target_link_libraries(platform_forms_tests PRIVATE zolplatform GTest::gtest_main)
target_compile_definitions(platform_forms_tests PRIVATE
  ZOL_FORMS_FIXTURES="${CMAKE_CURRENT_SOURCE_DIR}/fixtures/forms")
set_target_properties(platform_forms_tests PROPERTIES BUILD_RPATH ${ZOL_PLUGIN_DIR})
# The prefix lets `ctest -R forms` pick every case of the framework.
gtest_discover_tests(platform_forms_tests TEST_PREFIX "forms." DISCOVERY_TIMEOUT 60)
