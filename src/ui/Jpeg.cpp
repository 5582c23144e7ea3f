#include "ui/Jpeg.h"

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace ui {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr) {}

// Fills `bits` (bottom-up BGR rows of `stride` bytes). Kept free of C++
// objects with destructors because libjpeg reports errors by longjmp.
bool DecodeInto(jpeg_decompress_struct* cinfo, unsigned char* bits, int stride) {
  JSAMPROW row[1];
  while (cinfo->output_scanline < cinfo->output_height) {
    unsigned y = cinfo->output_scanline;
    unsigned char* dst = bits + static_cast<size_t>(cinfo->output_height - 1 - y) * stride;
    row[0] = dst;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
    for (unsigned x = 0; x < cinfo->output_width; ++x) {  // RGB -> BGR in place
      unsigned char t = dst[x * 3];
      dst[x * 3] = dst[x * 3 + 2];
      dst[x * 3 + 2] = t;
    }
  }
  return true;
}

}  // namespace

HBITMAP DecodeJpeg(const unsigned char* data, size_t size) {
  if (data == nullptr || size < 4) return nullptr;
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  HBITMAP volatile bitmap = nullptr;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = &OnError;
  err.base.output_message = &OnMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    return nullptr;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = static_cast<LONG>(cinfo.output_width);
  bi.bmiHeader.biHeight = static_cast<LONG>(cinfo.output_height);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  int stride = static_cast<int>((cinfo.output_width * 3 + 3) & ~3u);
  bool ok = bitmap != nullptr && DecodeInto(&cinfo, static_cast<unsigned char*>(bits), stride);
  if (ok) jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (!ok && bitmap != nullptr) {
    ::DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

HBITMAP LoadJpegResource(const wchar_t* name) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC res = ::FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (res == nullptr) return nullptr;
  HGLOBAL mem = ::LoadResource(module, res);
  const void* data = mem != nullptr ? ::LockResource(mem) : nullptr;
  return DecodeJpeg(static_cast<const unsigned char*>(data), ::SizeofResource(module, res));
}

}  // namespace ui
