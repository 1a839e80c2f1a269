# Tests of the symbol outputs: geometry, drawing, BMP files and device
# contexts. Included from the end of tests/CMakeLists.txt.
find_package(GTest REQUIRED)
include(GoogleTest)

# Decoders the round-trip tests run on the files they write; a test whose
# decoder is missing fails rather than passing unchecked.
find_program(TESSERINE_ZBARIMG zbarimg)
find_program(TESSERINE_ZXINGREADER ZXingReader)
foreach(_tool TESSERINE_ZBARIMG TESSERINE_ZXINGREADER)
  if(NOT ${_tool})
    message(WARNING "${_tool} not found (scripts/install-deps.sh installs it): the round-trip tests will fail")
  endif()
endforeach()

foreach(_name output_geometry_test output_bitmap_test output_render_test)
  add_executable(${_name} ${CMAKE_CURRENT_LIST_DIR}/${_name}.cpp)
  target_link_libraries(${_name} PRIVATE tesserine_static GTest::gtest GTest::gtest_main)
  target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${_name} PRIVATE
    TESSERINE_ZBARIMG="${TESSERINE_ZBARIMG}" TESSERINE_ZXINGREADER="${TESSERINE_ZXINGREADER}")
  gtest_discover_tests(${_name} DISCOVERY_TIMEOUT 60)
endforeach()
