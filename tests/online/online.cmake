vantrel_test(NAME online_pages_test LABEL online
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_pages_test.cpp
  LIBS vantrel_online_core)
vantrel_test(NAME online_download_test LABEL online
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_download_test.cpp ${CMAKE_CURRENT_LIST_DIR}/LoopbackHttpServer.h
  LIBS vantrel_online_core)
vantrel_test(NAME online_connection_test LABEL online
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_connection_test.cpp
  LIBS vantrel_online_core)
# Qt WebEngine deletes one of its own objects through a pointer of the wrong size (third-party, in
# libQt6WebEngineCore); this AddressSanitizer cannot suppress that report by library, so the programs
# that host WebEngine pages turn the check off.
if(VANTREL_GUI)
  vantrel_test(NAME online_pane_test LABEL online
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_pane_test.cpp ${CMAKE_CURRENT_LIST_DIR}/LoopbackHttpServer.h
    LIBS vantrel_online
    ENV QTWEBENGINE_DISABLE_SANDBOX=1
    ASAN_OPTIONS new_delete_type_mismatch=0)
endif()
if(VANTREL_GUI AND TARGET vantrel_app)
  vantrel_test(NAME online_app_test LABEL online
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/online_app_test.cpp ${CMAKE_CURRENT_LIST_DIR}/LoopbackHttpServer.h
    LIBS vantrel_app vantrel_online
    ASAN_OPTIONS new_delete_type_mismatch=0)
endif()

# No test of the online label may send a packet off the machine, a DNS query included: this check
# runs the label again under strace and fails on any destination that is not loopback.
add_test(NAME LoopbackOnly.OnlineLabel
  COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/loopback_only.py ${CMAKE_BINARY_DIR} online)
set_tests_properties(LoopbackOnly.OnlineLabel PROPERTIES LABELS loopback)
