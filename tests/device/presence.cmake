if(TARGET vz_emulator AND TARGET vz_settings_sync)
  vz_add_test(NAME test_device_presence SOURCES ${CMAKE_CURRENT_LIST_DIR}/presence_test.cpp
              LIBS vz_device vz_settings vz_emulator LABELS threads TIMEOUT 120)
  vz_add_test(NAME test_connect_read SOURCES ${CMAKE_CURRENT_LIST_DIR}/connect_read_test.cpp
              LIBS vz_settings_sync vz_emulator LABELS threads TIMEOUT 120)
endif()
