vz_add_bench(NAME bench_ini SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ini_bench.cpp LIBS vz_platform_system)
