# Online content: the local page list, page-title parameters, web link forms and the version probe,
# HTTP downloads over libcurl and the connection check (ICMP echo). Display-free: Qt Core at most,
# through the profile.
find_package(CURL REQUIRED)
add_library(vantrel_online_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CAdList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CAdList.h
  ${CMAKE_CURRENT_LIST_DIR}/CIcmpPing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CIcmpPing.h
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionCheck.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionCheck.h
  ${CMAKE_CURRENT_LIST_DIR}/CWebGrab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CWebGrab.h
  ${CMAKE_CURRENT_LIST_DIR}/Download.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Download.h
  ${CMAKE_CURRENT_LIST_DIR}/PageTitle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageTitle.h
  ${CMAKE_CURRENT_LIST_DIR}/WebLinkScheme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebLinkScheme.h)
target_link_libraries(vantrel_online_core PUBLIC vantrel_platform_io PRIVATE CURL::libcurl)
