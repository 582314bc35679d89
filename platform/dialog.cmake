# Dialogs with data exchange, and the clipboard's text (Qt Widgets).
if(VANTREL_GUI)
  add_library(vantrel_platform_dialog STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CDataExchange.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDataExchange.h
    ${CMAKE_CURRENT_LIST_DIR}/CDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Clipboard.h)
  target_link_libraries(vantrel_platform_dialog PUBLIC vantrel_platform_io vantrel_platform_res Qt6::Widgets)
endif()
