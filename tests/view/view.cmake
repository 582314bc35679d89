if(VANTREL_GUI)
  vantrel_test(NAME view_geometry_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view_geometry_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view)
  vantrel_test(NAME view_draw_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view_draw_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view)
  vantrel_test(NAME view_window_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view_window_test.cpp
    LIBS vantrel_view vantrel_app)
endif()
