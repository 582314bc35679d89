vantrel_test(NAME online_pages_test LABEL online
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_pages_test.cpp
  LIBS vantrel_online_core)
