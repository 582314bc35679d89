if(VANTREL_GUI)
  vantrel_test(NAME platform_ui_test LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_framework_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui_test_support.h
    LIBS vantrel_platform_ui vantrel_resources)
  vantrel_test(NAME platform_ui_window_test LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui_test_support.h
    LIBS vantrel_platform_ui)
  vantrel_test(NAME platform_ui_document_test LABEL platform
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ui_document_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ui_test_support.h
    LIBS vantrel_platform_ui)
endif()
