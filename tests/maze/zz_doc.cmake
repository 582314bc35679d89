vantrel_test(NAME maze_doc_tracker_test LABEL maze
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/doc_tracker_test.cpp
  LIBS vantrel_maze_layers)
vantrel_test(NAME maze_doc_draw_test LABEL maze
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/doc_draw_test.cpp
  LIBS vantrel_maze_layers)
vantrel_test(NAME maze_doc_file_test LABEL maze
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/doc_file_test.cpp ${CMAKE_CURRENT_LIST_DIR}/doc_open_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/doc_save_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/doc_settings_test.cpp
  LIBS vantrel_maze)
vantrel_test(NAME maze_doc_pictures_test LABEL maze
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/doc_pictures_test.cpp
  LIBS vantrel_maze)
