# HidDevice over the hidraw backend on a stand-in sysfs tree.
vz_add_test(NAME test_hid_device SOURCES hid_device_test.cpp LIBS vz_device LABELS threads)
target_include_directories(test_hid_device PRIVATE ${PROJECT_SOURCE_DIR}/tests)
