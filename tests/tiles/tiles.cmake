# Tile sets: definition parsing and loading, the weighted choice, drawing and the preview.
vantrel_test(NAME tiles_test LABEL tiles
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TileDefinitionTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TileChoiceTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TileDrawTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tile_test_support.h
  LIBS vantrel_tiles Qt6::Gui)
