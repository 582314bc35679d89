vantrel_test(NAME image_draw_tests LABEL image
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/draw_test.cpp
  LIBS vantrel_image_draw)
