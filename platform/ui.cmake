# The window half of the framework over Qt Widgets: application, frames, bars, splitter, views,
# document templates. Command targets and the resource tables are header-only and free of Qt.
if(VANTREL_GUI)
  add_library(vantrel_platform_ui STATIC
    ${CMAKE_CURRENT_LIST_DIR}/AfxRes.h
    ${CMAKE_CURRENT_LIST_DIR}/CActionCmdUI.h
    ${CMAKE_CURRENT_LIST_DIR}/CCmdTarget.h
    ${CMAKE_CURRENT_LIST_DIR}/CControlBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CControlBar.h
    ${CMAKE_CURRENT_LIST_DIR}/CFrameWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CFrameWnd.h
    ${CMAKE_CURRENT_LIST_DIR}/CRichEditCtrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRichEditCtrl.h
    ${CMAKE_CURRENT_LIST_DIR}/CScrollView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CScrollView.h
    ${CMAKE_CURRENT_LIST_DIR}/CSingleDocTemplate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSingleDocTemplate.h
    ${CMAKE_CURRENT_LIST_DIR}/CSplitterWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSplitterWnd.h
    ${CMAKE_CURRENT_LIST_DIR}/CStatusBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CStatusBar.h
    ${CMAKE_CURRENT_LIST_DIR}/CToolBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CToolBar.h
    ${CMAKE_CURRENT_LIST_DIR}/CWinApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CWinApp.h
    ${CMAKE_CURRENT_LIST_DIR}/CWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CWnd.h
    ${CMAKE_CURRENT_LIST_DIR}/CWndView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CWndView.h
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardLocks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyboardLocks.h
    ${CMAKE_CURRENT_LIST_DIR}/ResourceTables.h
    ${CMAKE_CURRENT_LIST_DIR}/Shell.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Shell.h
    ${CMAKE_CURRENT_LIST_DIR}/WindowDC.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowDC.h)
  target_link_libraries(vantrel_platform_ui PUBLIC
    vantrel_platform_core vantrel_platform_io vantrel_platform_profile vantrel_platform_printing Qt6::Widgets)
  # The status bar's lock indicators ask the X server's keyboard extension.
  find_package(X11)
  if(X11_FOUND)
    target_link_libraries(vantrel_platform_ui PRIVATE X11::X11)
    target_compile_definitions(vantrel_platform_ui PRIVATE VANTREL_HAVE_X11)
  endif()
  # Window DCs draw through the device-context layer when it is part of the build.
  if(TARGET vantrel_platform_gdi)
    target_link_libraries(vantrel_platform_ui PUBLIC vantrel_platform_gdi)
    target_compile_definitions(vantrel_platform_ui PRIVATE VANTREL_HAVE_GDI)
  endif()
endif()
