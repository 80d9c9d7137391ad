// A desktop OpenGL compatibility context with no window and no X display:
// Mesa's EGL on its software device (or the surfaceless platform), drawing into
// a framebuffer object of any size up to the implementation's limit, optionally
// multisampled. Frames are read back as RGB bytes, top row first.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <string>
#include <vector>

class offscreenContext {
  public:
    offscreenContext() = default;
    offscreenContext(const offscreenContext&) = delete;
    offscreenContext& operator=(const offscreenContext&) = delete;
    ~offscreenContext();

    // Creates the context and makes it current; "" or what went wrong.
    std::string open();
    int maxSize() const { return maxSize_; }       // pixels, either side
    int maxSamples() const { return maxSamples_; }

    // A framebuffer of width x height (1 to maxSize()) with colour and a
    // 24-bit depth buffer, bound for drawing; samples 0 means no multisampling.
    std::string makeFramebuffer(int width, int height, int samples);

    // The frame drawn so far: width * height * 3 bytes, rows from the top.
    void readFrame(uint8_t* rgb);

  private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    int maxSize_ = 0, maxSamples_ = 0;
    int width_ = 0, height_ = 0, samples_ = 0;
    unsigned drawFbo_ = 0, resolveFbo_ = 0; // GL names
    unsigned buffers_[3] = {0, 0, 0}; // colour, depth, resolved colour
    std::vector<uint8_t> row_;      // one row, for turning frames top-down
};
