# Property sheets and their pages over the dialog layer (Qt Widgets); pages show bitmaps through the
# graphics layer.
if(VANTREL_GUI)
  add_library(vantrel_platform_sheet STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CPropertyPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPropertyPage.h
    ${CMAKE_CURRENT_LIST_DIR}/CPropertySheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPropertySheet.h)
  target_link_libraries(vantrel_platform_sheet PUBLIC vantrel_platform_dialog vantrel_platform_gdi Qt6::Widgets)
endif()
