#include "support/texture.h"

#include "basicsource/platform.h"

texture::texture() : textureID(0), mipmapsGenerated(false), toneHint(false) {}

texture::texture(const char* theCFilename) : texture() { load(theCFilename, false, false); }

texture::texture(const char* theCFilename, bool tHint, bool bMipmaps) : texture() {
    load(theCFilename, tHint, bMipmaps);
}

texture::~texture() {}

void texture::load(const char* theCFilename, bool tHint, bool bMipmaps) {
    textureID = loadTextureFile(theCFilename, bMipmaps);
    toneHint = tHint;
    mipmapsGenerated = bMipmaps;
}

GLuint texture::id() { return textureID; }

// A discrete-tone image is never filtered; mipmaps serve continuous tone only.
GLenum texture::bestMagFilter() { return toneHint ? GL_LINEAR : GL_NEAREST; }

GLenum texture::bestMinFilter() {
    if (!toneHint) return GL_NEAREST;
    return mipmapsGenerated ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
}
