vz_add_test(NAME test_ui_custom_controls SOURCES ${CMAKE_CURRENT_LIST_DIR}/custom_controls_test.cpp LIBS vz_ui LABELS gui)
