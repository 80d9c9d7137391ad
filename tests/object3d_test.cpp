// object3D without drawing: defaults, setters, deep copy and chains (with
// ownership checked by live-instance counts and, in the sanitizer build, by
// LeakSanitizer), the parent hierarchy in software, and the normals.
#include "support/object3D.h"

#include <gtest/gtest.h>

#include "support/texture.h"
#include "tests/failing_allocation.h"
#include "tests/harness/fatal_expect.h"
#include "tests/harness/test_object.h"

namespace {
// Placements go through a few float products and degree sines: 1e-5.
const float kPlaceTolerance = 1e-5f;

void expectVec(const vec& v, float x, float y, float z, float w, float tol = 0) {
    EXPECT_NEAR(v.data[0], x, tol);
    EXPECT_NEAR(v.data[1], y, tol);
    EXPECT_NEAR(v.data[2], z, tol);
    EXPECT_NEAR(v.data[3], w, tol);
}
vec point(float x, float y, float z, float w = 1) {
    vec v;
    v.set(x, y, z, w);
    return v;
}
const std::vector<std::array<float, 3>> kTriangle = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
vec absoluteOrigin(object3D& o) {
    vec v;
    o.getAbsoluteLocation(v);
    return v;
}
} // namespace

// --- State ---------------------------------------------------------------------------

TEST(Object3D, DefaultsAreAnOpaqueWhiteUnplacedObjectWithoutMesh) {
    testObject o;
    expectVec(o.locationField(), 0, 0, 0, 1);
    expectVec(o.orientationField(), 0, 0, 0, 1);
    expectVec(o.localOffsetField(), 0, 0, 0, 1);
    expectVec(o.localOrientationField(), 0, 0, 0, 1);
    expectVec(o.localScaleField(), 1, 1, 1, 1);
    EXPECT_EQ(o.scaleField(), 1);
    float r, g, b, a;
    o.getColour(r, g, b, a);
    EXPECT_EQ(r + g + b + a, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(o.specularColour()[i], 1);
    EXPECT_EQ(o.getShininess(), 25);
    EXPECT_TRUE(o.hasFlatFaces());
    EXPECT_FALSE(o.isInvisible());
    EXPECT_FALSE(o.isTranslucent());
    EXPECT_EQ(o.textureField(), nullptr);
    EXPECT_EQ(o.textureScaleXField(), 1);
    EXPECT_EQ(o.textureScaleYField(), 1);
    EXPECT_EQ(o.getParent(), nullptr);
    EXPECT_EQ(o.next(), nullptr);
    EXPECT_EQ(o.getListName(), 0u);
    EXPECT_EQ(o.getVertexCount(), 0);
    EXPECT_EQ(o.getFaceCount(), 0);
}

TEST(Object3D, AlphaBelowOneMakesTranslucent) {
    testObject o;
    o.setColour(1, 0, 0, 0.5f);
    EXPECT_TRUE(o.isTranslucent());
    o.setColour(1, 0, 0);
    EXPECT_FALSE(o.isTranslucent());
    float r, g, b, a;
    o.getColour(r, g, b, a);
    EXPECT_EQ(a, 1);
    o.setColour(1, 0, 0, 1); // strictly below 1
    EXPECT_FALSE(o.isTranslucent());
    float glass[4] = {0.2f, 0.3f, 0.4f, 0.99f};
    o.setColour(glass);
    EXPECT_TRUE(o.isTranslucent());
    o.getColour(r, g, b, a);
    EXPECT_EQ(g, 0.3f);
    EXPECT_EQ(a, 0.99f);
    // The specular alpha plays no part.
    o.setColour(1, 1, 1, 1);
    o.setSpecularColour(1, 1, 1, 0.5f);
    EXPECT_FALSE(o.isTranslucent());
    float specular[4] = {0.1f, 0.2f, 0.3f, 0.0f};
    o.setSpecularColour(specular);
    EXPECT_FALSE(o.isTranslucent());
    EXPECT_EQ(o.specularColour()[2], 0.3f);
}

TEST(Object3D, RelativeMovesAddAndKeepW) {
    testObject o;
    o.moveBy(1, 2, 3);
    o.moveBy(1, 2, 3);
    expectVec(o.locationField(), 2, 4, 6, 1);
    vec v = point(1, 2, 3, 0);
    o.setLocation(v); // all four components
    expectVec(o.locationField(), 1, 2, 3, 0);
    o.moveBy(1, 1, 1);
    expectVec(o.locationField(), 2, 3, 4, 0);
    vec got;
    o.getLocation(got);
    expectVec(got, 2, 3, 4, 0);

    o.setOrientation(10, 20, 30);
    o.rotateBy(1, -2, 3);
    float x, y, z;
    o.getOrientation(x, y, z);
    EXPECT_EQ(x, 11);
    EXPECT_EQ(y, 18);
    EXPECT_EQ(z, 33);
    o.setLocalOffset(1, 1, 1);
    o.localOffsetBy(0, 1, -1);
    expectVec(o.localOffsetField(), 1, 2, 0, 1);
    o.setLocalOrientation(5, 5, 5);
    o.localRotateBy(5, 0, -5);
    expectVec(o.localOrientationField(), 10, 5, 0, 1);
}

TEST(Object3D, TextureAndParentAreStoredOnly) {
    testObject o, p;
    texture t;
    o.setTexture(&t, 2, 3);
    EXPECT_EQ(o.textureField(), &t);
    EXPECT_EQ(o.textureScaleXField(), 2);
    EXPECT_EQ(o.textureScaleYField(), 3);
    o.setLocation(4, 5, 6);
    o.setParent(&p); // unlike connect, the placement is left alone
    EXPECT_EQ(o.getParent(), &p);
    expectVec(o.locationField(), 4, 5, 6, 1);
    o.hide();
    EXPECT_TRUE(o.isInvisible());
    o.show();
    EXPECT_FALSE(o.isInvisible());
}

// --- Copies --------------------------------------------------------------------------

namespace {
// An object with every field away from its default.
void makeDistinct(testObject& o, object3D* parent, texture* tex) {
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}});
    o.setLocation(1, 2, 3);
    o.setOrientation(10, 20, 30);
    o.setScale(2);
    o.setLocalOffset(4, 5, 6);
    o.setLocalOrientation(40, 50, 60);
    o.setLocalScale(7, 8, 9);
    o.setColour(0.1f, 0.2f, 0.3f, 0.4f);
    o.setSpecularColour(0.5f, 0.6f, 0.7f, 0.8f);
    o.setShininess(64);
    o.setFlatFaces(false);
    o.hide();
    o.setTexture(tex, 3, 4);
    o.setParent(parent);
    o.setListName(17);
}
void expectSameState(testObject& a, testObject& b) {
    for (const auto& pair : {std::make_pair(&a.locationField(), &b.locationField()),
                             std::make_pair(&a.orientationField(), &b.orientationField()),
                             std::make_pair(&a.localOffsetField(), &b.localOffsetField()),
                             std::make_pair(&a.localOrientationField(), &b.localOrientationField()),
                             std::make_pair(&a.localScaleField(), &b.localScaleField())})
        for (int i = 0; i < 4; ++i) EXPECT_EQ(pair.first->data[i], pair.second->data[i]);
    EXPECT_EQ(a.scaleField(), b.scaleField());
    float ca[4], cb[4];
    a.getColour(ca[0], ca[1], ca[2], ca[3]);
    b.getColour(cb[0], cb[1], cb[2], cb[3]);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ca[i], cb[i]);
        EXPECT_EQ(a.specularColour()[i], b.specularColour()[i]);
    }
    EXPECT_EQ(a.getShininess(), b.getShininess());
    EXPECT_EQ(a.hasFlatFaces(), b.hasFlatFaces());
    EXPECT_EQ(a.isInvisible(), b.isInvisible());
    EXPECT_EQ(a.isTranslucent(), b.isTranslucent());
    EXPECT_EQ(a.textureScaleXField(), b.textureScaleXField());
    EXPECT_EQ(a.textureScaleYField(), b.textureScaleYField());
    ASSERT_EQ(a.getVertexCount(), b.getVertexCount());
    ASSERT_EQ(a.getFaceCount(), b.getFaceCount());
    for (int i = 0; i < a.getVertexCount(); ++i)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(a.vertexAt(i).coordinate.data[k], b.vertexAt(i).coordinate.data[k]);
    for (int i = 0; i < a.getFaceCount(); ++i) {
        EXPECT_EQ(a.faceAt(i).vertices, b.faceAt(i).vertices);
        for (int k = 0; k < a.faceAt(i).vertices; ++k)
            EXPECT_EQ(a.faceAt(i).vertex(k), b.faceAt(i).vertex(k));
    }
}
} // namespace

TEST(Object3DCopy, CopyOwnsItsMeshAndSharesParentTextureAndList) {
    testObject parent;
    texture tex;
    testObject source;
    makeDistinct(source, &parent, &tex);

    testObject copied(source);
    testObject assigned;
    assigned.setMesh({{9, 9, 9}}, {});
    assigned = source;
    for (testObject* c : {&copied, &assigned}) {
        expectSameState(*c, source);
        EXPECT_EQ(c->getParent(), &parent);
        EXPECT_EQ(c->textureField(), &tex);
        EXPECT_EQ(c->getListName(), 17u);
        // Its own arrays: changing the copy's mesh leaves the source alone.
        EXPECT_NE(c->getVertices(), source.getVertices());
        EXPECT_NE(c->getFaces(), source.getFaces());
        c->vertexAt(0).set(-1, -1, -1);
        c->faceAt(0).init(3, 2, 1);
        EXPECT_EQ(source.vertexAt(0).coordinate.data[0], 0);
        EXPECT_EQ(source.faceAt(0).vertex(0), 0);
    }
}

TEST(Object3DCopy, AllocationFailureWhileCopyingIsFatal) {
    testObject source;
    source.setMesh(kTriangle, {{0, 1, 2}});
    EXPECT_FATAL((failNothrowArrays = true, testObject(source)),
                 "^object3D::operator= couldn't allocate a new vertices array \\(out of "
                 "memory\\?\\)\n$");
    testObject target;
    EXPECT_FATAL((nothrowArraysBeforeFailure = 1, target = source),
                 "^object3D::operator= couldn't allocate a new faces array \\(out of "
                 "memory\\?\\)\n$");
}

TEST(Object3DCopy, SelfAssignmentChangesNothing) {
    testObject o;
    makeDistinct(o, nullptr, nullptr);
    testObject b;
    o += b;
    const vertex* mesh = o.getVertices();
    testObject* chain = o.next();
    int alive = testObject::live;
    testObject& self = o;
    o = self;
    EXPECT_EQ(o.getVertices(), mesh);
    EXPECT_EQ(o.next(), chain);
    EXPECT_EQ(testObject::live, alive);
    EXPECT_EQ(o.getVertexCount(), 4);
    EXPECT_EQ(o.vertexAt(3).coordinate.data[1], 1);
}

// --- Chains --------------------------------------------------------------------------

TEST(Object3DChain, AttachingAppendsCopiesParentedToTheHead) {
    testObject a, b, c;
    b.setLocation(1, 0, 0);
    c.setLocation(2, 0, 0);
    a += b;
    ASSERT_NE(a.next(), nullptr);
    EXPECT_NE(a.next(), &b); // a copy, not b itself
    EXPECT_EQ(a.next()->getParent(), &a);
    expectVec(a.next()->locationField(), 1, 0, 0, 1);
    a += c;
    ASSERT_NE(a.next()->next(), nullptr);
    EXPECT_EQ(a.next()->next()->getParent(), &a);
    expectVec(a.next()->next()->locationField(), 2, 0, 0, 1);
    EXPECT_EQ(a.next()->next()->next(), nullptr);
    // The right-hand sides are unchanged.
    EXPECT_EQ(b.next(), nullptr);
    EXPECT_EQ(b.getParent(), nullptr);
    EXPECT_EQ(c.next(), nullptr);
}

TEST(Object3DChain, AttachingAnObjectWithAChainCopiesTheChainToo) {
    testObject a, b, c;
    c.setLocation(3, 0, 0);
    b += c;
    a += b;
    ASSERT_NE(a.next(), nullptr);
    ASSERT_NE(a.next()->next(), nullptr);
    EXPECT_NE(a.next()->next(), b.next()); // its own copy of b's chain
    expectVec(a.next()->next()->locationField(), 3, 0, 0, 1);
    EXPECT_EQ(a.next()->getParent(), &a);
}

TEST(Object3DChain, DestroyingTheHeadDestroysTheWholeChain) {
    const int before = testObject::live;
    {
        auto* head = new testObject;
        testObject part;
        part.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
        for (int i = 0; i < 6; ++i) *head += part;
        EXPECT_EQ(testObject::live, before + 1 + 1 + 6);
        delete head; // LeakSanitizer checks the arrays of every part
        EXPECT_EQ(testObject::live, before + 1);
    }
    EXPECT_EQ(testObject::live, before);
}

TEST(Object3DChain, CopyingAnObjectClonesItsChain) {
    testObject head, part;
    head += part;
    head += part;
    const int before = testObject::live;
    {
        testObject copy(head);
        EXPECT_EQ(testObject::live, before + 3);
        ASSERT_NE(copy.next(), nullptr);
        ASSERT_NE(copy.next()->next(), nullptr);
        EXPECT_NE(copy.next(), head.next());
        EXPECT_NE(copy.next()->next(), head.next()->next());
        // The source has no parent, so every object of the new chain is
        // parented to the copy.
        EXPECT_EQ(copy.next()->getParent(), &copy);
        EXPECT_EQ(copy.next()->next()->getParent(), &copy);
    }
    EXPECT_EQ(testObject::live, before);
}

TEST(Object3DChain, CopyOfAParentedObjectReparentsOnlyTheFirstLink) {
    testObject outer, head, part;
    head.setParent(&outer);
    head += part;
    head += part;
    testObject copy(head);
    EXPECT_EQ(copy.getParent(), &outer);
    EXPECT_EQ(copy.next()->getParent(), &copy);
    // The deeper link keeps the parent its own copy gave it: the clone before it.
    EXPECT_EQ(copy.next()->next()->getParent(), copy.next());
}

TEST(Object3DChain, AssigningOverAChainDestroysTheOldChain) {
    testObject target, source, part, plain;
    target += part;
    target += part;
    target += part;
    source += part;
    const int before = testObject::live;
    target = source; // three parts go, one clone comes
    EXPECT_EQ(testObject::live, before - 3 + 1);
    ASSERT_NE(target.next(), nullptr);
    EXPECT_EQ(target.next()->next(), nullptr);
    EXPECT_NE(target.next(), source.next());
    EXPECT_EQ(target.next()->getParent(), &target);

    target = plain; // no chain in the source: none left here
    EXPECT_EQ(target.next(), nullptr);
    EXPECT_EQ(testObject::live, before - 3);
}

TEST(Object3DChain, AssigningFromAPartOfItsOwnChain) {
    // The source lives in the chain that the assignment replaces: it must be
    // read completely before the old chain goes.
    testObject head, b, c;
    b.setLocation(1, 0, 0);
    c.setLocation(2, 0, 0);
    head += b;
    head += c;
    const int before = testObject::live;
    head = *head.next();
    expectVec(head.locationField(), 1, 0, 0, 1);
    ASSERT_NE(head.next(), nullptr);
    expectVec(head.next()->locationField(), 2, 0, 0, 1);
    EXPECT_EQ(head.next()->next(), nullptr);
    // b's parent was the head itself; the head must not become its own parent.
    EXPECT_EQ(head.getParent(), nullptr);
    EXPECT_EQ(testObject::live, before - 1);
    vec origin;
    head.getAbsoluteLocation(origin); // would recurse without end with a self-parent
    expectVec(origin, 1, 0, 0, 1);
}

// --- Hierarchy and absolute placement --------------------------------------------------

TEST(Object3DHierarchy, AbsoluteLocationOfAnUnparentedObject) {
    testObject o;
    o.setLocation(1, 2, 3);
    expectVec(absoluteOrigin(o), 1, 2, 3, 1, kPlaceTolerance);
    o.setScale(2);
    o.setLocalOffset(1, 0, 0); // scaled by 2 before the location moves it
    expectVec(absoluteOrigin(o), 3, 2, 3, 1, kPlaceTolerance);
    // The local scale acts on the geometry before the offset.
    o.setLocalScale(10, 10, 10);
    expectVec(absoluteOrigin(o), 3, 2, 3, 1, kPlaceTolerance);
    vec p = point(1, 0, 0);
    o.getAbsoluteLocation(p);
    expectVec(p, 3 + 20, 2, 3, 1, kPlaceTolerance);
    // A direction (w = 0) is turned and scaled but not moved.
    vec d = point(0, 1, 0, 0);
    o.setOrientation(0, 0, 90);
    o.getAbsoluteLocation(d);
    expectVec(d, -20, 0, 0, 0, kPlaceTolerance);
}

TEST(Object3DHierarchy, ParentsPlaceFirstAndTheirLocalScaleIsNotInherited) {
    testObject parent, child;
    parent.setLocation(10, 0, 0);
    parent.setOrientation(0, 0, 90);
    parent.setScale(2);
    parent.setLocalScale(5, 5, 5);
    child.setParent(&parent);
    child.setLocation(1, 0, 0);
    // (1, 0, 0) scaled by 2, turned to (0, 2, 0), then moved by (10, 0, 0).
    expectVec(absoluteOrigin(child), 10, 2, 0, 1, kPlaceTolerance);
    // The parent's local offset and local orientation are inherited.
    parent.setLocalOffset(0, 0, 1);
    expectVec(absoluteOrigin(child), 10, 2, 2, 1, kPlaceTolerance);
}

TEST(Object3DHierarchy, AbsoluteScaleAndOrientationExamples) {
    testObject parent, child;
    parent.setScale(2);
    parent.setLocalScale(5, 5, 5);
    parent.setOrientation(0, 20, 0);
    child.setParent(&parent);
    child.setScale(3);
    child.setLocalScale(1, 2, 1);
    child.setOrientation(0, 10, 0);
    child.setLocalOrientation(0, 5, 0); // not part of the absolute orientation
    float s = 0;
    vec v;
    child.getAbsoluteScale(s, v);
    EXPECT_EQ(s, 6);
    expectVec(v, 1, 2, 1, 1);
    vec o;
    child.getAbsoluteOrientation(o);
    expectVec(o, 0, 30, 0, 1);
}

TEST(Object3DHierarchy, ConnectKeepsTheWorldPositionUnderAnOffsetParent) {
    testObject parent, child;
    parent.setLocation(10, 0, 0);
    child.setLocation(12, 0, 0);
    child.setLocalOrientation(1, 2, 3);
    child.connect(&parent);
    EXPECT_EQ(child.getParent(), &parent);
    expectVec(child.locationField(), 2, 0, 0, 1, kPlaceTolerance);
    expectVec(child.localOrientationField(), 1, 2, 3, 1);
    expectVec(absoluteOrigin(child), 12, 0, 0, 1, kPlaceTolerance);
    EXPECT_EQ(parent.next(), nullptr); // not added to the parent's chain
}

TEST(Object3DHierarchy, ConnectAndDisconnectUnderARotatedParent) {
    testObject parent, child;
    parent.setOrientation(0, 0, 90);
    child.setLocation(1, 0, 0);
    child.connect(&parent);
    expectVec(child.locationField(), 0, -1, 0, 1, kPlaceTolerance);
    expectVec(child.localOrientationField(), 0, 0, -90, 1);
    expectVec(absoluteOrigin(child), 1, 0, 0, 1, kPlaceTolerance); // placed as before

    child.disconnect();
    EXPECT_EQ(child.getParent(), nullptr);
    expectVec(child.locationField(), 1, 0, 0, 1, kPlaceTolerance);
    expectVec(child.orientationField(), 0, 0, 90, 1);
    expectVec(child.localOrientationField(), 0, 0, -90, 1); // connect's change stays
}

TEST(Object3DHierarchy, ConnectThenDisconnectRoundTripsTheLocation) {
    // Single-axis parent turns, unit scale: the cases connect converts exactly.
    const float turns[][3] = {{37, 0, 0}, {0, -75, 0}, {0, 0, 160}};
    for (const auto& turn : turns) {
        testObject parent, child;
        parent.setLocation(-3, 4, 2);
        parent.setOrientation(turn[0], turn[1], turn[2]);
        child.setLocation(5, -1, 7);
        child.connect(&parent);
        expectVec(absoluteOrigin(child), 5, -1, 7, 1, kPlaceTolerance);
        child.disconnect();
        expectVec(child.locationField(), 5, -1, 7, 1, kPlaceTolerance);
    }
}

TEST(Object3DHierarchy, DisconnectWithoutAParentChangesNothingButW) {
    testObject o;
    vec loc = point(1, 2, 3, 0);
    o.setLocation(loc);
    o.setOrientation(10, 20, 30);
    o.setScale(1.5f);
    o.setLocalOrientation(4, 5, 6);
    o.setLocalScale(2, 3, 4);
    o.disconnect();
    expectVec(o.locationField(), 1, 2, 3, 1, kPlaceTolerance);
    expectVec(o.orientationField(), 10, 20, 30, 1);
    EXPECT_EQ(o.scaleField(), 1.5f);
    expectVec(o.localOrientationField(), 4, 5, 6, 1);
    expectVec(o.localScaleField(), 2, 3, 4, 1);
}

// --- Normals ----------------------------------------------------------------------------

TEST(Object3DNormals, FaceNormalsFromTheFirstThreeCorners) {
    testObject o;
    // A triangle facing +z, a non-planar quad whose fourth corner is ignored,
    // and a triangle with two equal corners.
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {5, 5, 5}, {0, 0, 7}},
              {{0, 1, 2}, {0, 2, 3, 4}, {0, 0, 1}});
    o.faceAt(2).faceNormal.set(9, 9, 9, 3);
    o.calculateFaceNormals();
    expectVec(o.faceAt(0).faceNormal, 0, 0, 1, 1, 1e-6f);
    expectVec(o.faceAt(1).faceNormal, 1, 0, 0, 1, 1e-6f); // (0,0,0),(0,1,0),(0,0,1)
    expectVec(o.faceAt(2).faceNormal, 0, 0, 0, 3);        // w left as it was
}

TEST(Object3DNormals, VertexNormalIsTheMeanOfItsFacesNormals) {
    testObject o;
    // Vertex 0 is shared by a face normal to +z and one normal to +x; vertex 5
    // is used by no face.
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 1, 1}, {4, 4, 4}},
              {{0, 1, 2}, {0, 2, 4, 3}});
    o.vertexAt(5).normal.set(7, 7, 7);
    o.calculateVertexNormals();
    expectVec(o.vertexAt(0).normal, 0.5f, 0, 0.5f, 1, 1e-6f); // not rescaled
    expectVec(o.vertexAt(2).normal, 0.5f, 0, 0.5f, 1, 1e-6f);
    expectVec(o.vertexAt(1).normal, 0, 0, 1, 1, 1e-6f);
    expectVec(o.vertexAt(4).normal, 1, 0, 0, 1, 1e-6f);
    expectVec(o.vertexAt(5).normal, 0, 0, 0, 1); // reset, and no face adds to it
}

TEST(Object3DNormals, AFaceListingAVertexTwiceCountsTwice) {
    testObject o;
    // Face 0 lists vertex 0 twice (its normal is still (0, 0, 1) from the first
    // three corners); face 1, normal (1, 0, 0), lists it once: (2z + x) / 3.
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
              {{0, 1, 2, 0}, {0, 2, 3}});
    o.calculateVertexNormals();
    expectVec(o.vertexAt(0).normal, 1.0f / 3, 0, 2.0f / 3, 1, 1e-6f);
}

TEST(Object3DNormals, VertexPassHandlesMoreThan32767VerticesAndUses) {
    // 40000 vertices; vertex 0 is used 40000 times (twice by each of 20000
    // quads), beyond a 16-bit counter; the last vertex is used by none.
    std::vector<std::array<float, 3>> points(40000, {0, 0, 0});
    points[1] = {1, 0, 0};
    points[2] = {0, 1, 0};
    points[32767] = {1, 1, 0};
    std::vector<std::vector<short>> faces(20000, {0, 1, 2, 0});
    faces.push_back({32767, 2, 1});
    testObject o;
    o.setMesh(points, faces);
    o.calculateVertexNormals();
    expectVec(o.vertexAt(0).normal, 0, 0, 1, 1, 1e-6f);
    expectVec(o.vertexAt(32767).normal, 0, 0, 1, 1, 1e-6f);
    expectVec(o.vertexAt(39999).normal, 0, 0, 0, 1);
}

TEST(Object3DNormals, CounterAllocationFailureIsFatal) {
    testObject o;
    o.setMesh(kTriangle, {{0, 1, 2}});
    EXPECT_FATAL((failNothrowArrays = true, o.calculateVertexNormals()),
                 "^object3D::calculateVertexNormals couldn't allocate its counters \\(out of "
                 "memory\\?\\)\n$");
}

TEST(Object3DNormals, CornerOutsideTheMeshIsFatal) {
    const char* const outside = "^object3D: a face refers to a vertex outside its mesh\n$";
    testObject o;
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 3}});
    EXPECT_FATAL(o.calculateFaceNormals(), outside);
    EXPECT_FATAL(o.calculateVertexNormals(), outside);
    o.faceAt(1).init(0, 1, 2, -1); // the fourth corner is checked too
    EXPECT_FATAL(o.calculateFaceNormals(), outside);
    // A face that was never initialised fails on its first corner.
    o.setMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {}});
    EXPECT_FATAL(o.calculateFaceNormals(),
                 "^face::vertex\\(\\) tried to read invalid vertex index\n$");
}
