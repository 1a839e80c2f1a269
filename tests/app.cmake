# The generator's logic against the stand-in run time. Included at the end of
# tests/CMakeLists.txt.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(app_generator_test ${CMAKE_CURRENT_LIST_DIR}/app_generator_test.cpp)
target_include_directories(app_generator_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(app_generator_test PRIVATE tesserine_app_logic GTest::gmock GTest::gtest_main)
gtest_discover_tests(app_generator_test DISCOVERY_TIMEOUT 120)
