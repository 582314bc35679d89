# The application profile over QSettings (QtCore only).
add_library(vantrel_platform_profile STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Profile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Profile.h
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.h)
target_link_libraries(vantrel_platform_profile PUBLIC vantrel_platform_core PRIVATE Qt6::Core)
