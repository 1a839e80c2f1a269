# The metafile and clipboard outputs, with a reader and player of the
# metafiles for checking what they record.
if(NOT TARGET GTest::gtest_main)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

add_library(tesserine_metafile_reader STATIC ${CMAKE_CURRENT_LIST_DIR}/support/metafile_reader.cpp)
target_link_libraries(tesserine_metafile_reader PUBLIC tesserine_core)

add_executable(output_metafile_test ${CMAKE_CURRENT_LIST_DIR}/output_metafile_test.cpp)
target_link_libraries(output_metafile_test PRIVATE tesserine_metafile_reader tesserine_static GTest::gtest_main)
target_compile_definitions(output_metafile_test PRIVATE
  TESSERINE_ZBARIMG="${TESSERINE_ZBARIMG}" TESSERINE_ZXINGREADER="${TESSERINE_ZXINGREADER}")
gtest_discover_tests(output_metafile_test DISCOVERY_TIMEOUT 60)
