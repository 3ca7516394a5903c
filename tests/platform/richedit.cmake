# The rich-text control: its core built into the test on its own, and the
# control itself through the platform's windows.
add_executable(platform_richedit_tests
  richedit_core_test.cpp
  richedit_control_test.cpp
  ${ZOL_RICHEDIT_CORE_SOURCES})
target_link_libraries(platform_richedit_tests PRIVATE zolplatform GTest::gtest_main)
target_compile_definitions(platform_richedit_tests PRIVATE
  ZOL_RTF_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/rtf")
set_target_properties(platform_richedit_tests PROPERTIES BUILD_RPATH ${ZOL_PLUGIN_DIR})
gtest_discover_tests(platform_richedit_tests DISCOVERY_TIMEOUT 60)
