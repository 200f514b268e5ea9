# The standard controls: live item lists, selection, exclusion, text limits and the events
# they fire, driven through their widgets as a user would.
kv_add_gui_test(kv_std_controls_test
  SOURCES std_controls_test.cpp
  LIBS kv_gui)
