# The small codecs: WBMP, TGA, PCX, ICO and WMF (read only, played by our own metafile renderer).
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterWbmp.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterWbmp.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterTga.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterTga.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterPcx.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterPcx.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterIco.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterIco.h
)
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterWmf.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterWmf.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterWmfPlayer.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterWmfPlayer.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterWmfCanvas.cpp
)
