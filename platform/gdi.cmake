# The graphics device layer: device contexts over images (memory, window) and paged devices (printers),
# with the device's pixel rules. Qt Gui only; the printer dialog side lives in vantrel_platform_print.
add_library(vantrel_platform_gdi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDC.h
  ${CMAKE_CURRENT_LIST_DIR}/CGdiObject.h
  ${CMAKE_CURRENT_LIST_DIR}/GdiDC.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiDevice.h
  ${CMAKE_CURRENT_LIST_DIR}/GdiDib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiObjects.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiRaster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GdiText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScreenFont.h
  ${CMAKE_CURRENT_LIST_DIR}/WinGdi.h)
target_link_libraries(vantrel_platform_gdi PUBLIC vantrel_platform_core Qt6::Gui)

if(VANTREL_GUI)
  add_library(vantrel_platform_print STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PrinterDC.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrinterDC.h)
  target_link_libraries(vantrel_platform_print PUBLIC vantrel_platform_gdi Qt6::PrintSupport)
endif()
