# velmaro_library(NAME DIR [DEPS libs...] [TEST_DEPS libs...])
#
# One static library per source folder, named velmaro_<NAME>, built from every
# .cpp in DIR; and, when tests are on, one GoogleTest binary test_<NAME> built
# from every .cpp in tests/DIR, registered with ctest (velmaro_add_gtest).
function(velmaro_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  add_library(velmaro_${name} STATIC ${sources})
  target_include_directories(velmaro_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)
  target_link_libraries(velmaro_${name} PUBLIC ${ARG_DEPS})

  if(VELMARO_TESTS)
    file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${dir}/*.cpp)
    if(tests)
      add_executable(test_${name} ${tests})
      target_link_libraries(test_${name} PRIVATE velmaro_${name} velmaro_test_support ${ARG_TEST_DEPS}
                            GTest::gtest GTest::gmock GTest::gtest_main)
      # Tests find their fixture files below the source tree.
      target_compile_definitions(test_${name} PRIVATE VELMARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
      velmaro_add_gtest(test_${name})
    endif()
  endif()
endfunction()
