#include "host/gui/key_codes.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <iterator>

namespace kv {

namespace {

struct KeyPair {
  Qt::Key qt;
  int32_t vk;
};

// Keys whose code is neither a letter, a digit nor an F-key.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},    {Qt::Key_Tab, 9},           {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},       {Qt::Key_Return, 13},       {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},       {Qt::Key_Control, 17},      {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},       {Qt::Key_CapsLock, 20},     {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33},       {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},         {Qt::Key_Home, 36},         {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},          {Qt::Key_Right, 39},        {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},       {Qt::Key_Insert, 45},       {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},        {Qt::Key_Meta, 91},         {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},    {Qt::Key_ScrollLock, 145},  {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},      {Qt::Key_Equal, 187},       {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},      {Qt::Key_Less, 188},        {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189}, {Qt::Key_Period, 190},      {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},      {Qt::Key_Question, 191},    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},  {Qt::Key_Bar, 220},         {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221}, {Qt::Key_Apostrophe, 222},  {Qt::Key_QuoteDbl, 222},
};

// Shifted digits on a US keyboard, so Shift+1 still reports the key 1.
constexpr KeyPair kShiftedDigits[] = {
    {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},       {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},  {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},  {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// Linux input-event codes of the letter and digit keys, indexed by code: the physical
// position, whatever layout is active. X11 key codes are these plus 8.
int32_t VirtualKeyOfEvdev(uint32_t code) {
  static constexpr char kRows[][16] = {
      // codes 2..11: the digit row; 16..25, 30..38, 44..50: the letter rows
      "1234567890",
      "QWERTYUIOP",
      "ASDFGHJKL",
      "ZXCVBNM",
  };
  if (code >= 2 && code <= 11) return kRows[0][code - 2];
  if (code >= 16 && code <= 25) return kRows[1][code - 16];
  if (code >= 30 && code <= 38) return kRows[2][code - 30];
  if (code >= 44 && code <= 50) return kRows[3][code - 44];
  return 0;
}

bool PlatformGivesX11KeyCodes() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

int32_t VirtualKeyOfQtKey(int key, bool keypad) {
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
  if (keypad && key == Qt::Key_Asterisk) return 106;
  if (keypad && key == Qt::Key_Plus) return 107;
  if (keypad && key == Qt::Key_Minus) return 109;
  if (keypad && key == Qt::Key_Period) return 110;
  if (keypad && key == Qt::Key_Slash) return 111;
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  for (const KeyPair& p : kShiftedDigits)
    if (p.qt == key) return p.vk;
  for (const KeyPair& p : kKeys)
    if (p.qt == key) return p.vk;
  return 0;
}

}  // namespace

int32_t VirtualKeyOf(const QKeyEvent& event) {
  if (PlatformGivesX11KeyCodes() && event.nativeScanCode() > 8) {
    if (int32_t vk = VirtualKeyOfEvdev(event.nativeScanCode() - 8)) return vk;
  }
  return VirtualKeyOfQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

Qt::Key QtKeyOf(int32_t virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return Qt::Key(Qt::Key_A + (virtualKey - 'A'));
  if (virtualKey >= '0' && virtualKey <= '9') return Qt::Key(Qt::Key_0 + (virtualKey - '0'));
  if (virtualKey >= 96 && virtualKey <= 105) return Qt::Key(Qt::Key_0 + (virtualKey - 96));
  if (virtualKey >= 112 && virtualKey <= 135) return Qt::Key(Qt::Key_F1 + (virtualKey - 112));
  for (const KeyPair& p : kKeys)
    if (p.vk == virtualKey) return p.qt;
  return Qt::Key_unknown;
}

int32_t ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick) {
  int32_t shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= ssShift;
  if (modifiers & Qt::AltModifier) shift |= ssAlt;
  if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  if (doubleClick) shift |= ssDouble;
  return shift;
}

int32_t MouseButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return mbLeft;
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return -1;
  }
}

}  // namespace kv
