if(VANTREL_GUI)
  vantrel_test(NAME app_shell_test LABEL app
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_shell_test.cpp
    LIBS vantrel_app)
endif()
