# Layer-object editing in the view, the rectangle tracker's mouse loop and the image settings dialog.
if(VANTREL_GUI)
  vantrel_test(NAME layers_tracker_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/layers_tracker_test.cpp ${CMAKE_CURRENT_LIST_DIR}/layers_input.h
    LIBS vantrel_platform_ui vantrel_maze)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME layers_view_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/layers_view_test.cpp ${CMAKE_CURRENT_LIST_DIR}/layers_input.h
            ${CMAKE_CURRENT_LIST_DIR}/tools_support.h
    LIBS vantrel_view vantrel_resources)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME layers_dialog_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/layers_dialog_test.cpp
    LIBS vantrel_view)
endif()
if(VANTREL_GUI)
  vantrel_test(NAME layers_font_test LABEL view
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/layers_font_test.cpp
    LIBS vantrel_platform_ui)
endif()
