# tarvis_add_test(<folder> <name> SOURCES <files...> [LIBS <targets...>])
# Builds one GoogleTest executable and registers it with CTest as "<folder>/<name>",
# so that "ctest -R numerics/" runs one folder's tests.
function(tarvis_add_test folder name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(target "test_${folder}_${name}")
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE
    TARVIS_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  add_test(NAME ${folder}/${name} COMMAND ${target})
  set_tests_properties(${folder}/${name} PROPERTIES
    ENVIRONMENT "TARVIS_LOG_DIR=${CMAKE_BINARY_DIR}/testlogs")
endfunction()
