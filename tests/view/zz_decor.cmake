if(VANTREL_GUI)
  vantrel_test(NAME view_decor_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/decor_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view vantrel_app)
endif()
