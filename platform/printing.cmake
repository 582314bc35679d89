# The framework's printing protocol for views: print dialog, Print Setup, preview and PDF output.
if(VANTREL_GUI)
  add_library(vantrel_platform_printing STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CPrintInfo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPrintInfo.h
    ${CMAKE_CURRENT_LIST_DIR}/CPrintingView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPrintingView.h
    ${CMAKE_CURRENT_LIST_DIR}/PreviewPageAverager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PreviewPageAverager.h)
  target_link_libraries(vantrel_platform_printing PUBLIC
    vantrel_platform_print vantrel_platform_io Qt6::PrintSupport Qt6::Widgets)
endif()
