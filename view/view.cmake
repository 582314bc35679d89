# The maze view: drawing, cell drawers, hit testing and the View menu's switches. A window class, so it
# is built only with the Qt Widgets layer.
if(VANTREL_GUI)
  add_library(vantrel_view STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelView.h
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewCells.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewShell.cpp)
  target_link_libraries(vantrel_view PUBLIC vantrel_maze vantrel_platform_ui vantrel_platform_gdi vantrel_app)
endif()
