# CPU cost of the four lighting effect threads at full speed against three devices, with a
# sink that does nothing as the baseline, one that takes USB time, and the emulated devices
# where they are built.
if(TARGET vz_lighting)
  vz_add_bench(NAME bench_lighting SOURCES ${CMAKE_CURRENT_LIST_DIR}/lighting/lighting_bench.cpp
               LIBS vz_lighting)
  target_include_directories(bench_lighting PRIVATE ${PROJECT_SOURCE_DIR}/tests/lighting)
  if(TARGET vz_emulator AND TARGET vz_device)
    target_link_libraries(bench_lighting PRIVATE vz_device vz_emulator)
    target_compile_definitions(bench_lighting PRIVATE VZ_BENCH_WITH_EMULATOR=1)
  endif()
endif()
