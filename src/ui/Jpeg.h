// Decodes a JPEG picture (for instance one stored as a resource) into a
// bitmap the windows can draw.
#pragma once
#include <windows.h>

#include <cstddef>

namespace ui {

// Returns a 24-bit DIB section, or null when the data is not a readable JPEG.
HBITMAP DecodeJpeg(const unsigned char* data, size_t size);
// The JPEG stored as an RCDATA resource of the program under `name`.
HBITMAP LoadJpegResource(const wchar_t* name);

}  // namespace ui
