// texture: the filters a texture reports from its tone hint and mipmap flag.
// The platform's loader loads nothing and returns 0, which the handle keeps.
#include "support/texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "basicsource/constants.h"

TEST(Texture, DefaultIsNoTextureAndUnfiltered) {
    texture t;
    EXPECT_EQ(t.id(), 0u);
    EXPECT_EQ(t.bestMagFilter(), GLenum(GL_NEAREST));
    EXPECT_EQ(t.bestMinFilter(), GLenum(GL_NEAREST));
}

TEST(Texture, FiltersFollowToneAndMipmaps) {
    struct {
        bool tone, mipmaps;
        GLenum mag, min;
    } const cases[] = {
        {kContinuousTone, kMipmaps, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
        {kContinuousTone, kNoMipmaps, GL_LINEAR, GL_LINEAR},
        // A discrete-tone image is never filtered, mipmaps or not.
        {kDiscreteTone, kMipmaps, GL_NEAREST, GL_NEAREST},
        {kDiscreteTone, kNoMipmaps, GL_NEAREST, GL_NEAREST},
    };
    for (const auto& c : cases) {
        texture t("resources/any.png", c.tone, c.mipmaps);
        EXPECT_EQ(t.id(), 0u); // the loader's "nothing loaded"
        EXPECT_EQ(t.bestMagFilter(), c.mag) << "tone " << c.tone << " mipmaps " << c.mipmaps;
        EXPECT_EQ(t.bestMinFilter(), c.min) << "tone " << c.tone << " mipmaps " << c.mipmaps;
    }
}

TEST(Texture, FileNameAloneMeansDiscreteToneWithoutMipmaps) {
    texture t("resources/any.png");
    EXPECT_EQ(t.id(), 0u);
    EXPECT_EQ(t.bestMagFilter(), GLenum(GL_NEAREST));
    EXPECT_EQ(t.bestMinFilter(), GLenum(GL_NEAREST));
}
