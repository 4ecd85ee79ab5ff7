# gtest_discover_tests(PRE_TEST) names its tests only at test time, so the X-display properties
# are set on the discovery's include file: every test of an _xtest program gets them.
get_property(x_tests DIRECTORY PROPERTY PLARN_X_TESTS)
foreach(name ${x_tests})
  set(props "${CMAKE_CURRENT_BINARY_DIR}/${name}_xprops.cmake")
  file(WRITE ${props} "
foreach(t \${${name}_TESTS})
  set_tests_properties(\"\${t}\" PROPERTIES ENVIRONMENT \"ASAN_OPTIONS=detect_leaks=0\" RESOURCE_LOCK xdisplay)
endforeach()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props})
endforeach()
