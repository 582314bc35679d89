# Online content: the local page list, page-title parameters, web link forms and the version probe,
# HTTP downloads over libcurl, gallery links and the connection check (ICMP echo). Display-free: no Qt.
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
  ${CMAKE_CURRENT_LIST_DIR}/GalleryLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GalleryLink.h
  ${CMAKE_CURRENT_LIST_DIR}/PageTitle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageTitle.h
  ${CMAKE_CURRENT_LIST_DIR}/WebLinkScheme.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebLinkScheme.h)
target_link_libraries(vantrel_online_core PUBLIC vantrel_platform_io PRIVATE CURL::libcurl)

# The information pane and its galleries: Qt WebEngine, with the window layer.
if(VANTREL_GUI)
  find_package(Qt6 REQUIRED COMPONENTS WebEngineWidgets)
  add_library(vantrel_online STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CAdWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAdWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/CAdWindowGallery.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHtmlView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHtmlView.h)
  target_link_libraries(vantrel_online PUBLIC
    vantrel_online_core vantrel_platform_ui vantrel_platform_profile vantrel_tiles vantrel_image vantrel_resources
    Qt6::WebEngineWidgets)
endif()

# The installation's local pages. The install path defaults to the folder of the program's data, which
# in the build tree is the executable's own: so they are placed beside the program, the window tests
# and the start-up benchmark.
file(GLOB _vantrel_online_html CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/html/*)
foreach(_vantrel_dir app tests/app tests/view tests/online bench)
  file(COPY ${_vantrel_online_html} DESTINATION ${CMAKE_BINARY_DIR}/${_vantrel_dir}/html)
endforeach()
