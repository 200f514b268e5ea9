#include "host/gui/cursors.h"

namespace kv {

Qt::CursorShape CursorShapeOf(int32_t cursor) {
  switch (cursor) {
    case -1:
      return Qt::BlankCursor;  // crNone
    case -3:
      return Qt::CrossCursor;  // crCross
    case -4:
      return Qt::IBeamCursor;  // crIBeam
    case -5:
      return Qt::SizeAllCursor;  // the old crSize
    case -6:
      return Qt::SizeBDiagCursor;  // crSizeNESW
    case -7:
      return Qt::SizeVerCursor;  // crSizeNS
    case -8:
      return Qt::SizeFDiagCursor;  // crSizeNWSE
    case -9:
      return Qt::SizeHorCursor;  // crSizeWE
    case -10:
      return Qt::UpArrowCursor;  // crUpArrow
    case -11:
      return Qt::WaitCursor;  // crHourGlass
    case -12:
      return Qt::DragMoveCursor;  // crDrag
    case -13:
      return Qt::ForbiddenCursor;  // crNoDrop
    case -14:
      return Qt::SplitHCursor;  // crHSplit
    case -15:
      return Qt::SplitVCursor;  // crVSplit
    case -16:
      return Qt::DragCopyCursor;  // crMultiDrag
    case -17:
      return Qt::WaitCursor;  // crSQLWait
    case -18:
      return Qt::ForbiddenCursor;  // crNo
    case -19:
      return Qt::BusyCursor;  // crAppStart
    case -20:
      return Qt::WhatsThisCursor;  // crHelp
    case -21:
      return Qt::PointingHandCursor;  // crHandPoint
    case -22:
      return Qt::SizeAllCursor;  // crSizeAll (and crSize)
    default:
      return Qt::ArrowCursor;  // crArrow and anything unknown
  }
}

}  // namespace kv
