#include "base/dpi_scale.h"

int Dpi_Scale(int value, UINT dpi) {
  if (dpi == 0) dpi = D_UINT_DPI_DESIGN;
  // In 64 bits: a 32-bit product of a screen size and a DPI can overflow.
  const long long product = static_cast<long long>(value) * dpi;
  const long long half = D_UINT_DPI_DESIGN / 2;
  return static_cast<int>((product >= 0 ? product + half : product - half) / D_UINT_DPI_DESIGN);
}
