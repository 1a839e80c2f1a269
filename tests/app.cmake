# The generator's logic against the stand-in run time. Included at the end of
# tests/CMakeLists.txt.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(app_generator_test ${CMAKE_CURRENT_LIST_DIR}/app_generator_test.cpp)
target_include_directories(app_generator_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(app_generator_test PRIVATE tesserine_app_logic GTest::gmock GTest::gtest_main)
gtest_discover_tests(app_generator_test DISCOVERY_TIMEOUT 120)

# The same logic against the real engine in-process, with real files and the
# decoders as readers.
find_program(TESSERINE_ZBARIMG zbarimg)
find_program(TESSERINE_ZXINGREADER ZXingReader)
add_executable(app_engine_test ${CMAKE_CURRENT_LIST_DIR}/app_engine_test.cpp)
target_include_directories(app_engine_test PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(app_engine_test PRIVATE tesserine_app_logic tesserine_static GTest::gtest_main)
target_compile_definitions(app_engine_test PRIVATE
  TESSERINE_ZBARIMG="${TESSERINE_ZBARIMG}" TESSERINE_ZXINGREADER="${TESSERINE_ZXINGREADER}"
  TESSERINE_APP_RESOURCES="${TESSERINE_APP_RESOURCES}")
gtest_discover_tests(app_engine_test DISCOVERY_TIMEOUT 120)
