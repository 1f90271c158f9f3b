# Registers one Qt Test executable: tinlark_add_test(NAME tst_x [ON_SERVER] SOURCES ... LIBS ...)
# Every test runs on the offscreen platform, in UTF-8, with a private runtime folder.
# ON_SERVER runs the same tests a second time (tst_x_server) with every test database a
# library on a throwaway PostgreSQL server.
set(TINLARK_TEST_RUNTIME_DIR ${CMAKE_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${TINLARK_TEST_RUNTIME_DIR})
file(CHMOD ${TINLARK_TEST_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(tinlark_add_test)
  cmake_parse_arguments(T "ON_SERVER" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE Qt6::Test tinlark_test_support ${T_LIBS})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} -nocrashhandler)
  set(environment "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;XDG_RUNTIME_DIR=${TINLARK_TEST_RUNTIME_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp")
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 300 ENVIRONMENT "${environment}")
  if(T_ON_SERVER)
    add_test(NAME ${T_NAME}_server COMMAND ${T_NAME} -nocrashhandler)
    set_tests_properties(${T_NAME}_server PROPERTIES TIMEOUT 300 ENVIRONMENT "${environment};TINLARK_TEST_ENGINE=server")
  endif()
endfunction()
