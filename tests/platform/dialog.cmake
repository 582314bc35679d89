if(VANTREL_GUI)
  vantrel_test(NAME platform_dialog_tests LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_test.cpp
    LIBS vantrel_platform_dialog Qt6::Widgets)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME platform_printing_tests LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_printing_test.cpp
    LIBS vantrel_platform_printing Qt6::Widgets)
endif()
