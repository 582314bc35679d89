if(VANTREL_GUI)
  vantrel_test(NAME maze_setup_tests LABEL maze
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/setup_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/setup_style_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/setup_support.h
    LIBS vantrel_maze_setup Qt6::Widgets)
endif()
