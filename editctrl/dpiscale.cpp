#include "editctrl/dpiscale.h"

int32_t Dpi_Sanitize(int32_t dpi) { return dpi >= kMinDpi && dpi <= kMaxDpi ? dpi : kBaseDpi; }

int32_t Dpi_Scale(int32_t value, int32_t dpi) {
  dpi = Dpi_Sanitize(dpi);
  int64_t product = int64_t(value) * dpi;
  int64_t half = kBaseDpi / 2;
  int64_t scaled = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
  if (scaled > INT32_MAX) return INT32_MAX;
  if (scaled < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(scaled);
}

int32_t Dpi_ScaleLine(int32_t width, int32_t dpi) {
  int32_t scaled = Dpi_Scale(width, dpi);
  return scaled < 1 ? 1 : scaled;
}

LOGFONTA Dpi_ScaleFont(const LOGFONTA* font, int32_t dpi) {
  LOGFONTA scaled = *font;
  scaled.lfHeight = Dpi_Scale(font->lfHeight, dpi);
  scaled.lfWidth = Dpi_Scale(font->lfWidth, dpi);
  return scaled;
}

int32_t Dpi_StrokeWidth(int32_t dpi) {
  int32_t width = Dpi_Sanitize(dpi) / kBaseDpi;
  return width < 1 ? 1 : width;
}
