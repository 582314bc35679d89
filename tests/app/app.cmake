if(VANTREL_GUI)
  vantrel_test(NAME app_shell_test LABEL app
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_shell_test.cpp
    LIBS vantrel_app)
  # Its stand-in for the desktop's browser is a QObject with a slot.
  set_target_properties(app_shell_test PROPERTIES AUTOMOC ON)
endif()
if(VANTREL_GUI)
  # Every dialog's texts fit, at scale 1 and with the whole interface scaled by 1.5.
  vantrel_test(NAME app_dialog_texts_test LABEL app
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_texts_test.cpp
    LIBS vantrel_app)
  vantrel_test(NAME app_dialog_texts_scaled_test LABEL app
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_texts_test.cpp
    LIBS vantrel_app
    ENV QT_SCALE_FACTOR=1.5)
  target_compile_definitions(app_dialog_texts_scaled_test PRIVATE DIALOG_TEXTS=DialogTextsScaled)
endif()
