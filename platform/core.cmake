# The framework core: plain C++, no Qt.
add_library(vantrel_platform_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CArray.h
  ${CMAKE_CURRENT_LIST_DIR}/CDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDocument.h
  ${CMAKE_CURRENT_LIST_DIR}/CObject.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CObject.h
  ${CMAKE_CURRENT_LIST_DIR}/CRect.h
  ${CMAKE_CURRENT_LIST_DIR}/CString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CString.h
  ${CMAKE_CURRENT_LIST_DIR}/CView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CView.h
  ${CMAKE_CURRENT_LIST_DIR}/Offline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Offline.h
  ${CMAKE_CURRENT_LIST_DIR}/Random.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Random.h
  ${CMAKE_CURRENT_LIST_DIR}/WinTypes.h)
target_include_directories(vantrel_platform_core PUBLIC ${PROJECT_SOURCE_DIR})
