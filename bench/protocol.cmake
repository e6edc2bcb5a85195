# Host cost of the command protocol against the emulated mouse.
if(TARGET vz_device AND TARGET vz_emulator)
  vz_add_bench(NAME bench_protocol SOURCES ${CMAKE_CURRENT_LIST_DIR}/protocol_bench.cpp
               LIBS vz_device vz_emulator)
endif()
