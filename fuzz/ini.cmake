# The ini service: reading what a user or a crash left, and writing without losing the rest.
if(TARGET vz_platform_system)
  vz_add_fuzzer(NAME fuzz_ini
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/ini_fuzz.cpp
                LIBS vz_platform_system
                CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/ini)
endif()
