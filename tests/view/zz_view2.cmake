# Tiled drawing, the bitmap mask and ring grids in the view.
if(VANTREL_GUI)
  vantrel_test(NAME view2_tiles_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view2_tiles_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view vantrel_tiles)
  vantrel_test(NAME view2_mask_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view2_mask_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view vantrel_tiles)
  vantrel_test(NAME view2_ring_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view2_ring_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewTestSupport.h
    LIBS vantrel_view)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME view2_window_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/view2_window_test.cpp
    LIBS vantrel_view vantrel_tiles vantrel_app)
endif()
