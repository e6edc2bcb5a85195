# Plug-in to filled images through the mouse's presence thread and connection reads.
if(TARGET vz_settings_sync AND TARGET vz_emulator)
  vz_add_bench(NAME bench_presence SOURCES ${CMAKE_CURRENT_LIST_DIR}/presence_bench.cpp
               LIBS vz_device vz_settings_sync vz_emulator)
endif()
