#include "tools/render/png_file.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace {
// What libpng's callbacks leave for the caller: libpng reports errors by
// longjmp, and its own writer would say only "Write Error".
struct pngTarget {
    int fd;
    std::string problem;
};

void onPngError(png_structp png, png_const_charp message) {
    auto* target = static_cast<pngTarget*>(png_get_error_ptr(png));
    if (target->problem.empty()) target->problem = message;
    png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

void writeBytes(png_structp png, png_bytep data, size_t size) {
    auto* target = static_cast<pngTarget*>(png_get_io_ptr(png));
    while (size > 0) {
        const ssize_t n = write(target->fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            target->problem = std::strerror(n < 0 ? errno : EIO);
            png_error(png, "write");
        }
        data += n;
        size -= size_t(n);
    }
}
void flushNothing(png_structp) {} // every byte is written as it comes
} // namespace

std::string writePng(int fd, const uint8_t* rgb, int width, int height) {
    pngTarget target{fd, ""};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, onPngError, onPngWarning);
    if (!png) return "out of memory";
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgb + size_t(y) * width * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return target.problem.empty() ? "libpng failed" : target.problem;
    }
    if (!info) png_error(png, "out of memory");
    png_set_write_fn(png, &target, writeBytes, flushNothing);
    // Frames are large flat areas: the fastest deflate level loses little here.
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return "";
}

std::string writePngFile(const std::string& path, const uint8_t* rgb, int width, int height) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    std::string problem = writePng(fd, rgb, width, height);
    // Some file systems report a full disk only when the file is closed.
    if (close(fd) != 0 && problem.empty()) problem = std::strerror(errno);
    return problem;
}
