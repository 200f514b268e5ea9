# The drawing classes: pixels of bitmaps, picture files, fonts, and the graphics binding
# driven by scripts.
kv_add_gui_test(kv_graphics_test
  SOURCES graphics_test.cpp
  LIBS kv_gui)
