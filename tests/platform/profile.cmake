vantrel_test(NAME platform_profile_tests LABEL platform
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_test.cpp
  LIBS vantrel_platform_profile Qt6::Core)
