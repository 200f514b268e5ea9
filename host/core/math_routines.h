// Floating-point routines for scripts. Domain errors and overflows raise the host's
// floating-point exceptions instead of producing NaN or infinity, and every conversion to a
// 32-bit integer is range-checked.
#pragma once

#include <cstdint>

namespace kv {

inline constexpr double kPi = 3.1415926535897932385;

// To the nearest integer, ties to the even one (2.5 -> 2, -2.5 -> -2).
int32_t Round(double x);
// Toward zero.
int32_t Trunc(double x);
// The integral part toward zero, as a float; it must fit an Integer like Trunc's result.
double Int(double x);
// x minus its integral part.
double Frac(double x);

// EInvalidOp "Invalid floating point operation" for a negative argument.
double Sqrt(double x);
// EZeroDivide "Floating point division by zero" for 0, EInvalidOp for a negative argument.
double Ln(double x);
// EOverflow "Floating point overflow" when the result is too large.
double Exp(double x);
double Sin(double x);
double Cos(double x);
// Sin(x) / Cos(x).
double Tan(double x);
double ArcTan(double x);
double Abs(double x);

}  // namespace kv
