# The controls: values, gestures, sliders, buttons, displays, text fields and menus. The native text
# entry and pop-up menu sit behind a platform seam; on Linux test doubles stand in for them until the
# X11 versions exist.
set(KORVEL_CONTROL_SOURCES
  CControl.cpp
  CSlider.cpp
  COnOffButton.cpp
  CKickButton.cpp
  CParamDisplay.cpp
  CTextEdit.cpp
  CMenuItem.cpp
  COptionMenu.cpp
)
if(WIN32)
  list(APPEND KORVEL_CONTROL_SOURCES win32/NativeTextEntry.cpp win32/NativePopupMenu.cpp)
else()
  list(APPEND KORVEL_CONTROL_SOURCES linux/NativeControlDoubles.cpp)
endif()
target_sources(korvel_toolkit PRIVATE ${KORVEL_CONTROL_SOURCES})
