#include "tools/render/offscreen_context.h"

#define GL_GLEXT_PROTOTYPES 1 // the framebuffer calls, exported by libOpenGL
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

std::string eglProblem(const char* what) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04x", unsigned(eglGetError()));
    return std::string(what) + " failed (EGL error " + code + ")";
}

// Mesa's software device first: the window under Xvfb draws with the same
// llvmpipe, so the frames agree with it on any machine, GPU or not. Without
// that device, the surfaceless platform (also Mesa's).
EGLDisplay softwareDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    auto queryDeviceString = reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(
        eglGetProcAddress("eglQueryDeviceStringEXT"));
    if (hasExtension(clientExtensions, "EGL_EXT_platform_device") && queryDevices &&
        queryDeviceString) {
        EGLDeviceEXT devices[16];
        EGLint count = 0;
        if (queryDevices(16, devices, &count))
            for (EGLint k = 0; k < count; ++k)
                if (hasExtension(queryDeviceString(devices[k], EGL_EXTENSIONS),
                                 "EGL_MESA_device_software"))
                    return getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[k], nullptr);
    }
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
        return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    return EGL_NO_DISPLAY;
}
} // namespace

std::string offscreenContext::open() {
    display_ = softwareDisplay();
    if (display_ == EGL_NO_DISPLAY) return "no EGL software device or surfaceless platform";
    if (!eglInitialize(display_, nullptr, nullptr)) {
        display_ = EGL_NO_DISPLAY;
        return eglProblem("eglInitialize");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return eglProblem("eglBindAPI(EGL_OPENGL_API)");
    // No surface: the context draws into framebuffer objects only, so it needs
    // no config where the display allows that (Mesa's device platform has none).
    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!hasExtension(eglQueryString(display_, EGL_EXTENSIONS), "EGL_KHR_no_config_context")) {
        const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint configs = 0;
        if (!eglChooseConfig(display_, configAttributes, &config, 1, &configs) || configs < 1)
            return eglProblem("eglChooseConfig");
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (context_ == EGL_NO_CONTEXT) return eglProblem("eglCreateContext");
    if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_))
        return eglProblem("eglMakeCurrent");

    GLint renderbufferMax = 0, viewportMax[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferMax);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportMax);
    // The shell keeps the window size in a short.
    maxSize_ = std::min({renderbufferMax, viewportMax[0], viewportMax[1], GLint(32767)});
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples_);
    return "";
}

std::string offscreenContext::makeFramebuffer(int width, int height, int samples) {
    width_ = width;
    height_ = height;
    samples_ = samples;
    row_.resize(size_t(width) * 3);
    glGenRenderbuffers(3, buffers_);
    glGenFramebuffers(1, &drawFbo_);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers_[0]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers_[1]);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width,
                                     height);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers_[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers_[1]);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return "no framebuffer of " + std::to_string(width) + "x" + std::to_string(height) +
               " could be made (out of memory?)";
    if (samples > 0) {
        // Multisampled pixels are resolved into a plain buffer before reading.
        glGenFramebuffers(1, &resolveFbo_);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers_[2]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFbo_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  buffers_[2]);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return "no resolve framebuffer could be made (out of memory?)";
        glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);
    }
    if (glGetError() != GL_NO_ERROR) return "the framebuffer could not be made (out of memory?)";
    return "";
}

void offscreenContext::readFrame(uint8_t* rgb) {
    if (samples_ > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, drawFbo_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFbo_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolveFbo_);
    } else {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, drawFbo_);
    }
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFbo_);

    // OpenGL's rows run bottom-up; pictures and video top-down.
    const size_t stride = size_t(width_) * 3;
    for (int y = 0; y < height_ / 2; ++y) {
        uint8_t* a = rgb + size_t(y) * stride;
        uint8_t* b = rgb + size_t(height_ - 1 - y) * stride;
        std::memcpy(row_.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, row_.data(), stride);
    }
}

offscreenContext::~offscreenContext() {
    if (display_ == EGL_NO_DISPLAY) return;
    if (context_ != EGL_NO_CONTEXT) {
        if (drawFbo_) glDeleteFramebuffers(1, &drawFbo_);
        if (resolveFbo_) glDeleteFramebuffers(1, &resolveFbo_);
        glDeleteRenderbuffers(3, buffers_);
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    eglTerminate(display_);
}
