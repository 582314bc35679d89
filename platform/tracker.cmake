# The rectangle tracker: frame, handles, hit-testing and cursors of a rectangle in device units.
add_library(vantrel_platform_tracker STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CRectTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CRectTracker.h)
target_link_libraries(vantrel_platform_tracker PUBLIC vantrel_platform_core vantrel_platform_gdi)

