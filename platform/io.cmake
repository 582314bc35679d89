# Files, archives, exceptions, message boxes and file dialogs: plain C++, no Qt.
add_library(vantrel_platform_io STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CArchive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CArchive.h
  ${CMAKE_CURRENT_LIST_DIR}/CAtomicFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CAtomicFile.h
  ${CMAKE_CURRENT_LIST_DIR}/CException.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CException.h
  ${CMAKE_CURRENT_LIST_DIR}/CFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFile.h
  ${CMAKE_CURRENT_LIST_DIR}/CMemFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMemFile.h
  ${CMAKE_CURRENT_LIST_DIR}/CStdioFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CStdioFile.h
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.h
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.h
  ${CMAKE_CURRENT_LIST_DIR}/WinFont.h)
target_link_libraries(vantrel_platform_io PUBLIC vantrel_platform_core)
