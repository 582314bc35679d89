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
    ${CMAKE_CURRENT_LIST_DIR}/ProgramDataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramDataFolder.h
    ${CMAKE_CURRENT_LIST_DIR}/WebLinks.h)
  target_link_libraries(vantrel_app PUBLIC vantrel_platform_ui vantrel_platform_dialog vantrel_resources vantrel_maze vantrel_view vantrel_online)
  add_executable(vantrel ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
  target_link_libraries(vantrel PRIVATE vantrel_app)

  # The install tree is what a user runs: the program in bin/, its data (the information pane's pages
  # and the Tiler folder) in share/vantrel/, found from the program's own folder whatever the prefix,
  # and a desktop entry with its icons for the desktop's menu.
  include(GNUInstallDirs)
  set(_vantrel_data_dir ${CMAKE_INSTALL_DATADIR}/vantrel)
  file(RELATIVE_PATH _vantrel_data_from_bin /${CMAKE_INSTALL_BINDIR} /${_vantrel_data_dir})
  target_compile_definitions(vantrel_app PRIVATE VANTREL_DATA_FROM_BIN="${_vantrel_data_from_bin}")
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/online/html DESTINATION ${_vantrel_data_dir})
  install(DIRECTORY DESTINATION ${_vantrel_data_dir}/Tiler)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(_size 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/images/icon128_${_size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME vantrel.png)
  endforeach()
endif()
