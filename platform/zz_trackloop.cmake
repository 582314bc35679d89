# The tracker's modal mouse loop and cursors, and the font dialog seam, over Qt Widgets.
if(VANTREL_GUI)
  target_sources(vantrel_platform_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FontDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FontDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/TrackerLoop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TrackerLoop.h)
  target_link_libraries(vantrel_platform_ui PUBLIC vantrel_platform_tracker)
endif()
# The trackbar control of dialogs.
if(VANTREL_GUI)
  target_sources(vantrel_platform_dialog PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CSliderCtrl.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSliderCtrl.h)
endif()
