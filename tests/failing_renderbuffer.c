// Loaded with LD_PRELOAD into geodesics-render (render_output_test.sh): a
// multisampled renderbuffer gets no storage, as when the driver has no memory
// for it, so the multisampled framebuffer cannot be complete. The renderer
// must say so and fail, not draw into nothing and write a black picture.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

void glRenderbufferStorageMultisample(GLenum target, GLsizei samples, GLenum format,
                                      GLsizei width, GLsizei height) {
    (void)target, (void)samples, (void)format, (void)width, (void)height;
}
