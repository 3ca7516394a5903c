// Bitmap pictures: PNG files carried in each module's resource block, and
// bitmaps written back out as PNG files.
#include <png.h>

#include <cstring>

#include "platform/gdi/internal.h"

using namespace zolgdi;

namespace {

constexpr png_uint_32 kMaxPictureSide = 16384;

}  // namespace

ZOLAPI HBITMAP ZolLoadBitmap(HINSTANCE module, DWORD id) {
    try {
        DWORD size = 0;
        const void* data = FindModuleResource(module, RT_ZOL_BITMAP, id, &size);
        if (!data || size == 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, data, size)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (image.width == 0 || image.height == 0 || image.width > kMaxPictureSide ||
            image.height > kMaxPictureSide) {
            png_image_free(&image);
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        // Without an alpha channel in the output, libpng lays transparent
        // parts over the background given here.
        image.format = PNG_FORMAT_BGR;
        png_color white{255, 255, 255};
        std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, &white, pixels.data(), 0, nullptr)) {
            png_image_free(&image);
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
        auto bm = std::make_unique<Bitmap>(w, h, 32);
        for (int y = 0; y < h; ++y) {
            const unsigned char* src = pixels.data() + static_cast<size_t>(y) * w * 3;
            uint32_t* dst = bm->row32(y);
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = src[0] | (uint32_t(src[1]) << 8) | (uint32_t(src[2]) << 16);
        }
        return handleOf<HBITMAP>(registerObject(std::move(bm)));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI HBITMAP LoadBitmapA(HINSTANCE module, const char* id) {
    uintptr_t v = reinterpret_cast<uintptr_t>(id);
    // Pictures are found by number only.
    if (v == 0 || v > 0xFFFF) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ZolLoadBitmap(module, static_cast<DWORD>(v));
}

ZOLAPI BOOL ZolSaveBitmapPng(HBITMAP bitmap, const char* path) {
    try {
        Bitmap* b = as<Bitmap>(bitmap, Kind::Bitmap);
        if (!b || !path) return FALSE;
        std::vector<unsigned char> rgb(static_cast<size_t>(b->width) * b->height * 3);
        size_t k = 0;
        for (int y = 0; y < b->height; ++y)
            for (int x = 0; x < b->width; ++x) {
                COLORREF c = b->get(x, y);
                rgb[k++] = GetRValue(c);
                rgb[k++] = GetGValue(c);
                rgb[k++] = GetBValue(c);
            }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(b->width);
        image.height = static_cast<png_uint_32>(b->height);
        image.format = PNG_FORMAT_RGB;
        if (!png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}
