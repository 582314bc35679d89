vantrel_test(NAME platform_gdi_tests LABEL platform
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gdi_draw_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_dib_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_reference_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_text_test.cpp
  LIBS vantrel_platform_gdi)
if(VANTREL_GUI)
  vantrel_test(NAME platform_print_tests LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/gdi_print_test.cpp
    LIBS vantrel_platform_print)
endif()
