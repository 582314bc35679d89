if(VANTREL_GUI)
  vantrel_test(NAME app_periph_test LABEL app
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/periph_test.cpp
    LIBS vantrel_app)
endif()
