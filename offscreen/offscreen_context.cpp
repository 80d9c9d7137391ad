#include "offscreen/offscreen_context.h"

#define GL_GLEXT_PROTOTYPES 1 // the framebuffer calls, exported by libOpenGL
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "offscreen/frame_pixels.h"

namespace {
bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

std::string eglProblem(const std::string& what, EGLint error = eglGetError()) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04x", unsigned(error));
    return what + " failed (EGL error " + code + ")";
}
} // namespace

std::string offscreenContext::open() {
    // The default display would look for X or Wayland: the platform is named.
    if (!hasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS),
                      "EGL_MESA_platform_surfaceless"))
        return "Mesa's EGL has no surfaceless platform here";
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return "eglGetPlatformDisplayEXT is missing";
    display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY) return eglProblem("eglGetPlatformDisplayEXT");
    if (!eglInitialize(display_, nullptr, nullptr)) {
        display_ = EGL_NO_DISPLAY;
        return eglProblem("eglInitialize");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return eglProblem("eglBindAPI(EGL_OPENGL_API)");

    // The window asks for "double rgb depth>=16" and gets 8-bit BGRA with a
    // 24-bit depth and 8-bit stencil buffer; llvmpipe rounds colours by the
    // buffer's format, so the renderer draws into the same format.
    // clang-format off
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE, 24,
                                       EGL_STENCIL_SIZE, 8, EGL_SAMPLES, 0, EGL_NONE};
    // clang-format on
    EGLint configs = 0;
    if (!eglChooseConfig(display_, configAttributes, &config_, 1, &configs) || configs < 1)
        return eglProblem("eglChooseConfig");
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) return eglProblem("eglCreateContext");
    // Current without a surface for now, to ask for the limits.
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_))
        return eglProblem("eglMakeCurrent");

    EGLint pbufferWidth = 0, pbufferHeight = 0;
    eglGetConfigAttrib(display_, config_, EGL_MAX_PBUFFER_WIDTH, &pbufferWidth);
    eglGetConfigAttrib(display_, config_, EGL_MAX_PBUFFER_HEIGHT, &pbufferHeight);
    GLint renderbufferMax = 0, viewportMax[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferMax);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportMax);
    maxSize_ = std::min({pbufferWidth, pbufferHeight, renderbufferMax, viewportMax[0],
                         viewportMax[1], GLint(kLargestFrameSide)});
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples_);
    return "";
}

std::string offscreenContext::makeFramebuffer(int width, int height, int samples) {
    width_ = width;
    height_ = height;
    samples_ = samples;
    bgra_.resize(size_t(width) * height * 4);
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config_, size);
    const std::string pbuffer =
        "a " + std::to_string(width) + "x" + std::to_string(height) + " pbuffer";
    if (surface_ == EGL_NO_SURFACE) {
        const EGLint error = eglGetError();
        if (error == EGL_BAD_ALLOC) return "out of memory for " + pbuffer;
        return eglProblem(pbuffer + ": eglCreatePbufferSurface", error);
    }
    if (!eglMakeCurrent(display_, surface_, surface_, context_))
        return eglProblem("eglMakeCurrent");
    if (samples == 0) return "";

    glGenRenderbuffers(2, multisampleBuffers_);
    glGenFramebuffers(1, &multisampleFbo_);
    glBindRenderbuffer(GL_RENDERBUFFER, multisampleBuffers_[0]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, multisampleBuffers_[1]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, multisampleFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              multisampleBuffers_[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              multisampleBuffers_[1]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
        glGetError() != GL_NO_ERROR)
        return "no multisampled framebuffer of " + std::to_string(width) + "x" +
               std::to_string(height) + " could be made (out of memory?)";
    return "";
}

void offscreenContext::readBgra(uint8_t* bgra) {
    if (samples_ > 0) {
        // Resolved into the pbuffer, then read from there.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, multisampleFbo_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    }
    // The pbuffer's own layout, BGRA, is read as it stands: reading RGB costs a
    // conversion inside the driver of about 2 ms a frame at 720x576.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    if (samples_ > 0) glBindFramebuffer(GL_FRAMEBUFFER, multisampleFbo_);
}

void offscreenContext::readFrame(uint8_t* rgb) {
    readBgra(bgra_.data());
    bgraToRgb(bgra_.data(), width_, height_, rgb);
}

offscreenContext::~offscreenContext() {
    if (display_ == EGL_NO_DISPLAY) return;
    if (context_ != EGL_NO_CONTEXT) {
        if (multisampleFbo_) {
            glDeleteFramebuffers(1, &multisampleFbo_);
            glDeleteRenderbuffers(2, multisampleBuffers_);
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    eglTerminate(display_);
}
