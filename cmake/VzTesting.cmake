include(GoogleTest)

# vz_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [DISPLAY] [TIMEOUT s])
#
# LABELS: "threads" marks tests that also run under ThreadSanitizer; "gui" tests need Qt's
# offscreen platform; DISPLAY tests run under Xvfb through scripts/with-xvfb.sh.
function(vz_add_test)
  cmake_parse_arguments(T "DISPLAY" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE vz_options ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen;VZ_PROGRAM_DIR=${VZ_PROGRAM_DIR};VZ_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_DISPLAY)
    add_test(NAME ${T_NAME}
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/with-xvfb.sh $<TARGET_FILE:${T_NAME}>)
    set(env "VZ_PROGRAM_DIR=${VZ_PROGRAM_DIR};VZ_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}"
                       ENVIRONMENT "${env}")
endfunction()
