// texture: a handle for an OpenGL texture loaded through the platform layer,
// with its mipmap flag and tone hint, from which it reports the filters that
// suit it. Copies share the OpenGL texture; nothing is deleted.
#pragma once

#include <GL/gl.h>

class texture {
  public:
    texture();                                  // no texture
    explicit texture(const char* theCFilename); // discrete tone, no mipmaps
    texture(const char* theCFilename, bool tHint, bool bMipmaps);
    ~texture();
    GLuint id();
    GLenum bestMagFilter();
    GLenum bestMinFilter();

  protected:
    void load(const char* theCFilename, bool tHint, bool bMipmaps);
    GLuint textureID;
    bool mipmapsGenerated;
    bool toneHint; // true: continuous tone
};
