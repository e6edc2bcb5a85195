# The report-descriptor parser and report decoding.
if(TARGET vz_platform_hid)
  vz_add_fuzzer(NAME fuzz_report_descriptor
                SOURCES ${CMAKE_CURRENT_LIST_DIR}/report_descriptor_fuzz.cpp
                LIBS vz_platform_hid
                CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/report_descriptor)
endif()
