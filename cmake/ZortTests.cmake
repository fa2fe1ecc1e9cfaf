# zort_discover_tests(<target> [TIMEOUT seconds] [PROPERTIES name value...]): every GoogleTest case of
# the target becomes a CTest entry with a readable name. The target's test
# files compile as one unit (UNITY_BUILD): GoogleTest's headers and templates
# once instead of once a file, which halves the test build; names in the
# files' anonymous namespaces must therefore differ within one target. The cases that
# measure real time against the paced simulator (names with "Paced", the
# 40 ms read wait, the built-in simulated instrument) carry the label
# "timing" and run alone (RUN_SERIAL), so that the other tests CTest runs
# in parallel (ctest -j) never stretch the gaps they measure.
set(ZORT_TIMING_TESTS "*Paced*:*FortyMilliseconds*:ReaderSimulate.*")

function(zort_discover_tests target)
  cmake_parse_arguments(arg "" "TIMEOUT" "PROPERTIES" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  gtest_discover_tests(${target} NO_PRETTY_VALUES TEST_FILTER "-${ZORT_TIMING_TESTS}"
                       PROPERTIES TIMEOUT ${arg_TIMEOUT} ${arg_PROPERTIES})
  gtest_discover_tests(${target} NO_PRETTY_VALUES TEST_FILTER "${ZORT_TIMING_TESTS}"
                       PROPERTIES TIMEOUT ${arg_TIMEOUT} RUN_SERIAL TRUE LABELS timing ${arg_PROPERTIES})
endfunction()
