// SetOf<E>: a set of the elements of an enumeration, as the host's set types (TFontStyles,
// TShiftState) are. Element e is bit e of a 32-bit mask, which is also the ordinal a
// published set property reads and writes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace kv {

template <class E>
class SetOf {
  static_assert(std::is_enum_v<E>, "SetOf needs an enumeration");

 public:
  constexpr SetOf() = default;
  constexpr SetOf(std::initializer_list<E> elements) {
    for (E e : elements) Include(e);
  }
  static constexpr SetOf FromBits(uint32_t bits) {
    SetOf s;
    s.bits_ = bits;
    return s;
  }

  // Elements have ordinals 0..31; others are never members.
  constexpr bool Contains(E e) const { return InRange(e) && (bits_ & Bit(e)) != 0; }
  constexpr SetOf& Include(E e) {
    if (InRange(e)) bits_ |= Bit(e);
    return *this;
  }
  constexpr SetOf& Exclude(E e) {
    if (InRange(e)) bits_ &= ~Bit(e);
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint32_t Bits() const { return bits_; }

  friend constexpr SetOf operator+(SetOf a, SetOf b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr SetOf operator-(SetOf a, SetOf b) { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr SetOf operator*(SetOf a, SetOf b) { return FromBits(a.bits_ & b.bits_); }
  friend constexpr bool operator==(SetOf a, SetOf b) = default;

 private:
  static constexpr bool InRange(E e) {
    const auto ordinal = static_cast<int64_t>(e);
    return ordinal >= 0 && ordinal < 32;
  }
  static constexpr uint32_t Bit(E e) { return uint32_t{1} << static_cast<unsigned>(e); }

  uint32_t bits_ = 0;
};

}  // namespace kv
