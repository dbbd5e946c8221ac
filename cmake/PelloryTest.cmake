# pellory_test(NAME SOURCES ... LIBS ...): one GoogleTest executable, run as one CTest test under Wine.
function(pellory_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} $<TARGET_OBJECTS:pellory_manifest>)
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main pellory_warnings)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
