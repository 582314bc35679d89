# The splash screen, the balloon tip and the Bitmap Setup dialog.
if(VANTREL_GUI)
  target_sources(vantrel_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BitmapSetup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BitmapSetup.h
    ${CMAKE_CURRENT_LIST_DIR}/CBalloonTip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CBalloonTip.h
    ${CMAKE_CURRENT_LIST_DIR}/CSplashThread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSplashThread.h
    ${CMAKE_CURRENT_LIST_DIR}/CSplashWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSplashWnd.h)
  target_link_libraries(vantrel_app PUBLIC vantrel_resources_periph vantrel_image_draw)
endif()
