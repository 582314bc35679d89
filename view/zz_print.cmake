# The view's edit tools and printing: added to the view library, with the dialog and printing layers.
if(VANTREL_GUI)
  target_sources(vantrel_view PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CMazePrintDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMazePrintDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewPrint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewTools.cpp)
  target_link_libraries(vantrel_view PUBLIC vantrel_platform_dialog vantrel_platform_printing)
endif()
