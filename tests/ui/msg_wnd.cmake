vz_add_test(NAME test_msg_wnd SOURCES ${CMAKE_CURRENT_LIST_DIR}/msg_wnd_test.cpp LIBS vz_ui LABELS gui)
