// A desktop OpenGL compatibility context with no window and no X display:
// Mesa's EGL on its surfaceless platform, drawing into a pbuffer of the pixel
// format the window gets under X (8-bit BGRA, 24-bit depth, 8-bit stencil),
// so that llvmpipe rounds every pixel as it does in the window. Multisampled
// frames are drawn into a framebuffer object and resolved into the pbuffer.
// Frames are read back as the pbuffer holds them or as RGB bytes, top row first.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <string>
#include <vector>

// The largest side of any frame: the shell keeps the window's size in a short.
const int kLargestFrameSide = 32767;

class offscreenContext {
  public:
    offscreenContext() = default;
    offscreenContext(const offscreenContext&) = delete;
    offscreenContext& operator=(const offscreenContext&) = delete;
    ~offscreenContext();

    // Creates the context and makes it current; "" or what went wrong.
    std::string open();
    int maxSize() const { return maxSize_; } // pixels, either side; kLargestFrameSide at most
    int maxSamples() const { return maxSamples_; }

    // The frame's surface, width x height (1 to maxSize()), made current for
    // drawing; samples 0 means no multisampling.
    std::string makeFramebuffer(int width, int height, int samples);

    // The frame drawn so far as the pbuffer holds it: width * height * 4
    // bytes, BGRA, bottom row first (see frame_pixels.h).
    void readBgra(uint8_t* bgra);
    // The same as width * height * 3 bytes of RGB, rows from the top.
    void readFrame(uint8_t* rgb);

  private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLSurface surface_ = EGL_NO_SURFACE;
    int maxSize_ = 0, maxSamples_ = 0;
    int width_ = 0, height_ = 0, samples_ = 0;
    unsigned multisampleFbo_ = 0;             // GL names, multisampling only
    unsigned multisampleBuffers_[2] = {0, 0}; // colour, depth and stencil
    std::vector<uint8_t> bgra_;               // a frame as the pbuffer holds it
};
