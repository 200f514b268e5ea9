#include "host/gui/colors.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <array>
#include <iterator>

namespace kv {

namespace {

struct ColorIdent {
  const char16_t* name;
  TColor color;
};

constexpr ColorIdent kColorIdents[] = {
    {u"clBlack", clBlack},
    {u"clMaroon", clMaroon},
    {u"clGreen", clGreen},
    {u"clOlive", clOlive},
    {u"clNavy", clNavy},
    {u"clPurple", clPurple},
    {u"clTeal", clTeal},
    {u"clGray", clGray},
    {u"clSilver", clSilver},
    {u"clRed", clRed},
    {u"clLime", clLime},
    {u"clYellow", clYellow},
    {u"clBlue", clBlue},
    {u"clFuchsia", clFuchsia},
    {u"clAqua", clAqua},
    {u"clWhite", clWhite},
    {u"clScrollBar", clScrollBar},
    {u"clBackground", clBackground},
    {u"clActiveCaption", clActiveCaption},
    {u"clInactiveCaption", clInactiveCaption},
    {u"clMenu", clMenu},
    {u"clWindow", clWindow},
    {u"clWindowFrame", clWindowFrame},
    {u"clMenuText", clMenuText},
    {u"clWindowText", clWindowText},
    {u"clCaptionText", clCaptionText},
    {u"clActiveBorder", clActiveBorder},
    {u"clInactiveBorder", clInactiveBorder},
    {u"clAppWorkSpace", clAppWorkSpace},
    {u"clHighlight", clHighlight},
    {u"clHighlightText", clHighlightText},
    {u"clBtnFace", clBtnFace},
    {u"clBtnShadow", clBtnShadow},
    {u"clGrayText", clGrayText},
    {u"clBtnText", clBtnText},
    {u"clInactiveCaptionText", clInactiveCaptionText},
    {u"clBtnHighlight", clBtnHighlight},
    {u"cl3DDkShadow", cl3DDkShadow},
    {u"cl3DLight", cl3DLight},
    {u"clInfoText", clInfoText},
    {u"clInfoBk", clInfoBk},
    {u"clNone", clNone},
};
static_assert(std::size(kColorIdents) == 42);

struct PaletteEntry {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// The palette entry of each system colour index. "Window" in the host is the background of
// text-entry controls, which Qt calls Base; Qt's Window is the dialog face (clBtnFace).
constexpr std::array<PaletteEntry, 25> kSystemColors = {{
    {QPalette::Active, QPalette::Button},           // clScrollBar
    {QPalette::Active, QPalette::Dark},             // clBackground (the desktop)
    {QPalette::Active, QPalette::Highlight},        // clActiveCaption
    {QPalette::Inactive, QPalette::Mid},            // clInactiveCaption
    {QPalette::Active, QPalette::Window},           // clMenu
    {QPalette::Active, QPalette::Base},             // clWindow
    {QPalette::Active, QPalette::Shadow},           // clWindowFrame
    {QPalette::Active, QPalette::WindowText},       // clMenuText
    {QPalette::Active, QPalette::WindowText},       // clWindowText
    {QPalette::Active, QPalette::HighlightedText},  // clCaptionText
    {QPalette::Active, QPalette::Window},           // clActiveBorder
    {QPalette::Inactive, QPalette::Window},         // clInactiveBorder
    {QPalette::Active, QPalette::Dark},             // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},        // clHighlight
    {QPalette::Active, QPalette::HighlightedText},  // clHighlightText
    {QPalette::Active, QPalette::Button},           // clBtnFace
    {QPalette::Active, QPalette::Dark},             // clBtnShadow
    {QPalette::Disabled, QPalette::Text},           // clGrayText
    {QPalette::Active, QPalette::ButtonText},       // clBtnText
    {QPalette::Inactive, QPalette::WindowText},     // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},            // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},           // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},         // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},      // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},      // clInfoBk
}};

QColor SystemColor(uint32_t index) {
  if (index >= kSystemColors.size()) return QColor(Qt::black);
  // Host code may ask before the application exists (a static colour table, a test): a
  // plain light palette answers then.
  const QPalette palette = qGuiApp ? QGuiApplication::palette() : QPalette(QColor(240, 240, 240));
  const PaletteEntry& entry = kSystemColors[index];
  return palette.color(entry.group, entry.role);
}

}  // namespace

void ForEachColorIdent(const std::function<void(UStringView name, TColor color)>& visit) {
  for (const ColorIdent& ident : kColorIdents) visit(ident.name, ident.color);
}

QColor ColorToQColor(TColor color) {
  if (color == clNone) return QColor(Qt::transparent);
  const auto bits = static_cast<uint32_t>(color);
  if (bits & 0x80000000u) return SystemColor(bits & 0x7FFFFFFFu);
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

TColor QColorToColor(const QColor& color) {
  if (color.alpha() == 0) return clNone;
  const QRgb rgb = color.rgb();
  return static_cast<TColor>(qRed(rgb) | qGreen(rgb) << 8 | qBlue(rgb) << 16);
}

}  // namespace kv
