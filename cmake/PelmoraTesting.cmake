# pelmora_test(ROOM room NAME name SOURCES ... [LIBS ...] [QT])
# One GoogleTest executable per call; every case is registered in CTest with the room as label.
if(CMAKE_CROSSCOMPILING)
  # Debian's GoogleTest library is built for the host; a cross build compiles its sources.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

function(pelmora_test)
  cmake_parse_arguments(T "QT" "ROOM;NAME" "SOURCES;LIBS" ${ARGN})
  set(target test_${T_ROOM}_${T_NAME})
  add_executable(${target} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${target} PRIVATE ${T_LIBS} pelmora_qt_test_main pelmora_test_support GTest::gtest Threads::Threads)
  else()
    target_link_libraries(${target} PRIVATE ${T_LIBS} pelmora_test_support GTest::gtest GTest::gtest_main Threads::Threads)
  endif()
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  set(env "")
  if(T_QT)
    set(env "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${target}
    TEST_PREFIX "${T_ROOM}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_ROOM} ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
