vantrel_test(NAME platform_core_tests LABEL platform
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/core_string_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_types_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/core_docview_test.cpp
  LIBS vantrel_platform_core)
