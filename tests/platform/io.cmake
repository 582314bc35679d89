vantrel_test(NAME platform_io_tests LABEL platform
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/io_archive_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/io_atomic_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/io_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/io_font_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/io_seam_test.cpp
  LIBS vantrel_platform_io)
