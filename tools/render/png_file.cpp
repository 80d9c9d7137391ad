#include "tools/render/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
struct fileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// libpng reports errors by longjmp; the message is kept for the caller.
void onPngError(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}
} // namespace

std::string writePng(const std::string& path, const uint8_t* rgb, int width, int height) {
    std::unique_ptr<std::FILE, fileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return std::strerror(errno);
    std::string problem;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &problem, onPngError, onPngWarning);
    if (!png) return "out of memory";
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgb + size_t(y) * width * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return problem.empty() ? "libpng failed" : problem;
    }
    if (!info) png_error(png, "out of memory");
    png_init_io(png, file.get());
    // Frames are large flat areas: the fastest deflate level loses little here.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::FILE* f = file.release();
    if (std::ferror(f) || std::fclose(f) != 0) return std::strerror(errno ? errno : EIO);
    return "";
}
