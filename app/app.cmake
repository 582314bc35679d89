# The application shell: application object, main frame and splitter, and the program.
if(VANTREL_GUI)
  add_library(vantrel_app STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.h
    ${CMAKE_CURRENT_LIST_DIR}/CSplitterWndEx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSplitterWndEx.h
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelApp.h
    ${CMAKE_CURRENT_LIST_DIR}/WebLinks.h)
  target_link_libraries(vantrel_app PUBLIC vantrel_platform_ui vantrel_platform_dialog vantrel_resources vantrel_maze vantrel_view vantrel_online)
  add_executable(vantrel ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(vantrel PRIVATE vantrel_app)
endif()
