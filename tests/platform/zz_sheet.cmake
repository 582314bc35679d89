if(VANTREL_GUI)
  vantrel_test(NAME platform_sheet_tests LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/sheet_test.cpp
    LIBS vantrel_platform_sheet Qt6::Widgets)
endif()
