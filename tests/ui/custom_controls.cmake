vz_add_test(NAME test_ui_custom_controls SOURCES custom_controls_test.cpp LIBS vz_ui LABELS gui)
