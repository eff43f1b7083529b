# quillhaven_add_test(NAME name SOURCES ... [LIBS ...] [ENVIRONMENT K=V ...] [LABELS ...]
#                     [PLAIN] [ARGS ...])
#
# Adds one GoogleTest executable (PLAIN: a program with its own main) and registers it with
# CTest, run with ARGS. Every test runs with its
# home, XDG folders and runtime folder pointed into the build tree, and with Qt's
# offscreen platform, so no test can reach the real desktop, preferences or login items.
find_package(GTest REQUIRED)

function(quillhaven_add_test)
  cmake_parse_arguments(ARG "PLAIN" "NAME;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LABELS;ARGS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  if(ARG_PLAIN)
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS})
  else()
    target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  set(sandbox ${CMAKE_BINARY_DIR}/test-sandbox/${ARG_NAME})
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME} ${ARG_ARGS})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT_MODIFICATION "HOME=set:${sandbox}/home;XDG_CONFIG_HOME=set:${sandbox}/config;XDG_DATA_HOME=set:${sandbox}/data;XDG_CACHE_HOME=set:${sandbox}/cache;XDG_STATE_HOME=set:${sandbox}/state;XDG_RUNTIME_DIR=set:${sandbox}/runtime;QT_QPA_PLATFORM=set:offscreen;QUILLHAVEN_DESKTOP=set:virtual;DISPLAY=unset:;WAYLAND_DISPLAY=unset:;DBUS_SESSION_BUS_ADDRESS=unset:;XDG_CURRENT_DESKTOP=unset:;QUILLHAVEN_NOTCH_HEIGHT=unset:;QUILLHAVEN_TEST_SANDBOX=set:${sandbox}")
  if(ARG_ENVIRONMENT)
    set_property(TEST ${ARG_NAME} APPEND PROPERTY ENVIRONMENT ${ARG_ENVIRONMENT})
  endif()
  file(MAKE_DIRECTORY ${sandbox}/home ${sandbox}/config ${sandbox}/data ${sandbox}/cache ${sandbox}/state ${sandbox}/runtime)
  file(CHMOD ${sandbox}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
