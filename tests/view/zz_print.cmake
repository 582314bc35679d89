if(VANTREL_GUI)
  vantrel_test(NAME view_tools_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tools_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tools_support.h
    LIBS vantrel_view vantrel_resources)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME view_print_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_test.cpp ${CMAKE_CURRENT_LIST_DIR}/tools_support.h
    LIBS vantrel_view vantrel_resources)
endif()
