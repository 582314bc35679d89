# The rectangle tracker: frame, handles, hit-testing and cursors of a rectangle in device units.
add_library(vantrel_platform_tracker STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CRectTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CRectTracker.h)
target_link_libraries(vantrel_platform_tracker PUBLIC vantrel_platform_core vantrel_platform_gdi)

# The document's file operations need the archive; every document has them, so the core's document
# brings the archive library with it.
target_sources(vantrel_platform_io PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CDocumentFile.cpp)
target_link_libraries(vantrel_platform_core PUBLIC vantrel_platform_io)
