# Forms, controls and events driven through scripts and simulated input.
kv_add_gui_test(kv_forms_test
  SOURCES gui_script.cpp events_test.cpp
  LIBS kv_api)
