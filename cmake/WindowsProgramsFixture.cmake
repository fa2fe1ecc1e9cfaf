# The Wine tests run the Windows build's programs, and the program-file tests
# read them. CTest would run them against whatever .exe lies in the Windows
# build, so a test named "windows_programs" brings that build up to date
# first: every test that needs its programs requires the fixture of that
# name, and `ctest -R`, `ctest -L wine` or a whole run starts with it.
# (scripts/test builds both trees itself and then leaves the fixture to the
# Wine lane alone, so that two builds never run in one tree at once.)
add_test(NAME windows_programs
         COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/build-windows-programs.sh
                 ${CMAKE_SOURCE_DIR} ${ZORT_WINDOWS_BUILD_DIR})
set_tests_properties(windows_programs PROPERTIES FIXTURES_SETUP windows_programs TIMEOUT 1200
                     LABELS wine)

# Every test labelled "wine" in the tree requires it (the program-file tests,
# whose cases are discovered, name it themselves).
function(zort_require_windows_programs dir)
  get_property(tests DIRECTORY ${dir} PROPERTY TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} LABELS labels)
    if(labels AND "wine" IN_LIST labels AND NOT test STREQUAL "windows_programs")
      set_property(TEST ${test} DIRECTORY ${dir} APPEND PROPERTY FIXTURES_REQUIRED windows_programs)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    zort_require_windows_programs(${subdir})
  endforeach()
endfunction()
zort_require_windows_programs(${CMAKE_SOURCE_DIR})
