# velmaro_add_gtest(TARGET [COST N]): registers the GoogleTest binary TARGET
# with ctest.
#
# By default the whole binary is one ctest test: tests/support/run-gtest runs
# all its tests in one process in shuffled order, so a test that leans on what
# another left behind in the process fails, and a few processes start instead
# of one per test. Its report names the failed tests with their own output
# and the seed that repeats the order. Configure with
# -DVELMARO_CTEST_PER_TEST=ON to make each test its own ctest test in its own
# process (gtest_discover_tests), e.g. for `ctest -R Suite.Name`.
option(VELMARO_CTEST_PER_TEST "One ctest test and process per GoogleTest test" OFF)

function(velmaro_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "COST" "")
  if(VELMARO_CTEST_PER_TEST)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
    return()
  endif()
  add_test(NAME ${target} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/run-gtest $<TARGET_FILE:${target}>)
  # ctest starts the costliest tests first: without timings of an earlier run
  # (a fresh clone) it takes the COST given, else the number of test files.
  # A binary whose tests wait on whole sessions of another program (the
  # runner's) names a cost of its own: counted by its few files it would
  # start last and run alone at the end.
  if(arg_COST)
    set(cost ${arg_COST})
  else()
    get_target_property(sources ${target} SOURCES)
    list(LENGTH sources cost)
  endif()
  set_tests_properties(${target} PROPERTIES TIMEOUT 2400 COST ${cost})
endfunction()
