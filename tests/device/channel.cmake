# The command channel against the emulated devices, through the real HID layer.
if(TARGET vz_emulator)
  vz_add_test(NAME test_device_channel SOURCES channel_test.cpp LIBS vz_device vz_emulator
              TIMEOUT 120)
  vz_add_test(NAME test_device_channel_threads SOURCES channel_threads_test.cpp
              LIBS vz_device vz_emulator LABELS threads)
  vz_add_test(NAME test_device_events SOURCES device_events_test.cpp LIBS vz_device vz_emulator)
endif()
