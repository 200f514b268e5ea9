// Keys, shift states and mouse buttons as scripts know them: virtual-key codes (13 Enter,
// 27 Esc, 37..40 arrows, 112.. F-keys, letters and digits by their ASCII capital), the
// TShiftState bits and the TMouseButton ordinals.
#pragma once

#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace kv {

// TShiftState bits.
enum : int32_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
// TMouseButton ordinals.
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// The virtual-key code of a key event; 0 for a key without one. Letters and digits are
// taken by their physical key when the platform tells it, so that shortcuts work under any
// keyboard layout (a Cyrillic layout's key in the place of Q is still 81).
int32_t VirtualKeyOf(const QKeyEvent& event);
// The Qt key of a virtual-key code, for a handler that replaced the key; Qt::Key_unknown
// when there is none.
Qt::Key QtKeyOf(int32_t virtualKey);

int32_t ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = {},
                     bool doubleClick = false);
// The TMouseButton of a Qt button; -1 for a button scripts have no name for.
int32_t MouseButtonOf(Qt::MouseButton button);

}  // namespace kv
