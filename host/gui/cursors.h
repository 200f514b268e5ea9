// The cursor constants of scripts (crDefault 0, crArrow -2, ...) as Qt cursor shapes.
#pragma once

#include <Qt>
#include <cstdint>

namespace kv {

// An unknown number gives the arrow.
Qt::CursorShape CursorShapeOf(int32_t cursor);

}  // namespace kv
