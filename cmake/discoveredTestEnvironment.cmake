# gtest_discover_tests hands a property's list to the tests it discovers as
# separate words, so an ENVIRONMENT list given there reaches them cut to its
# first entry. discovered_tests_environment(ENV PROGRAM...) gives every test
# discovered in PROGRAM... the whole list ENV instead: CTest reads the file it
# writes after the discovered tests (it lists each program's tests in
# <program>_TESTS).
function(discovered_tests_environment environment)
  set(script "")
  foreach(program ${ARGN})
    string(APPEND script "if(${program}_TESTS)\n"
      "  set_tests_properties(\${${program}_TESTS} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
      "endif()\n")
  endforeach()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/discoveredTestEnvironment.cmake)
  file(WRITE ${file} "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
