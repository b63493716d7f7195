#pragma once
// Readable GoogleTest failure messages for the drawing types.

#include <ostream>

#include "Canvas.h"

inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
