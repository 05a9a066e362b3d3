include(GoogleTest)
find_package(GTest REQUIRED)

# One GoogleTest executable per subsystem, every case registered with CTest under the
# subsystem's label. Widget tests run on Qt's offscreen platform.
function(corvane_add_test_executable name label)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock GTest::gtest_main Qt6::Core)
  corvane_target_defaults(${name})
  target_compile_definitions(${name} PRIVATE
    CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    CORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${label} TIMEOUT 300
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;CORVANE_TEST=1")
endfunction()
