#include "support/object3D.h"

#include <GL/gl.h>

#include <memory>
#include <new>
#include <string>

#include "basicsource/main.h"
#include "basicsource/utility.h"

object3D::object3D()
    : vertexCount(0), faceCount(0), vertices(nullptr), faces(nullptr), lineVertices(nullptr) {
    setLocation(0, 0, 0);
    setOrientation(0, 0, 0);
    setScale(1);
    setLocalOffset(0, 0, 0);
    setLocalOrientation(0, 0, 0);
    setLocalScale(1, 1, 1);
    setColour(1, 1, 1, 1);
    setSpecularColour(1, 1, 1, 1);
    theShininess = 25;
    flatFaces = kFlatFaces;
    invisible = false;
    parent = nullptr;
    sibling = nullptr;
    theTexture = nullptr;
    textureScaleX = 1;
    textureScaleY = 1;
    listName = 0;
}

// --- Copying ------------------------------------------------------------------
//
// A copy is made in three parts: the mesh (deep), the values (placement,
// material, flags and the shared parent, texture and display list), and the
// chain (deep). Every field of object3D belongs to exactly one part, except
// lineVertices, which no operation allocates or copies. A field added later
// changes the object's size, which the assertion below pins for this platform:
// when it fires, give the new field its place in one of the three parts and
// then update the size.
#if defined(__x86_64__) && defined(__LP64__)
static_assert(sizeof(object3D) == 208,
              "object3D's fields changed: copy the new one in copyMesh, copyValues or "
              "replaceChain, then update this size");
#endif

object3D::object3D(const object3D& source)
    : vertexCount(0), faceCount(0), vertices(nullptr), faces(nullptr), lineVertices(nullptr),
      sibling(nullptr) {
    copyMesh(source);
    copyValues(source);
    replaceChain(source);
}

object3D& object3D::operator=(const object3D& source) {
    if (&source == this) return *this;
    copyMesh(source);
    copyValues(source);
    replaceChain(source);
    return *this;
}

// Fresh arrays of the source's sizes, each record copied.
void object3D::copyMesh(const object3D& source) {
    delete[] vertices;
    vertices = nullptr;
    delete[] faces;
    faces = nullptr;
    vertices = new (std::nothrow) vertex[source.vertexCount];
    if (!vertices)
        fatal("object3D::operator= couldn't allocate a new vertices array (out of memory?)");
    faces = new (std::nothrow) face[source.faceCount > 0 ? source.faceCount : 0];
    if (!faces) fatal("object3D::operator= couldn't allocate a new faces array (out of memory?)");
    for (unsigned i = 0; i < source.vertexCount; ++i) vertices[i] = source.vertices[i];
    for (int i = 0; i < source.faceCount; ++i) faces[i] = source.faces[i];
    vertexCount = source.vertexCount;
    faceCount = source.faceCount;
}

// In the system's order (all four components of each vec). The copy shares
// the source's parent, texture and display list.
void object3D::copyValues(const object3D& source) {
    flatFaces = source.flatFaces;
    invisible = source.invisible;
    translucent = source.translucent;
    scale = source.scale;
    theShininess = source.theShininess;
    // An object assigned from a member of its own chain would otherwise become
    // its own parent, and placing it would recurse without end.
    parent = source.parent == this ? nullptr : source.parent;
    theTexture = source.theTexture;
    textureScaleX = source.textureScaleX;
    textureScaleY = source.textureScaleY;
    listName = source.listName;
    orientation = source.orientation;
    localOrientation = source.localOrientation;
    location = source.location;
    localOffset = source.localOffset;
    localScale = source.localScale;
    for (int i = 0; i < 4; ++i) {
        theColour[i] = source.theColour[i];
        theSpecularColour[i] = source.theSpecularColour[i];
    }
}

// The chain is owned, so the one this object carried is destroyed and a clone
// of the source's takes its place. The reparenting rule: the head of the new
// chain always gets this object as its parent; when the source itself has no
// parent, so does every object after it, as operator+= would have made them.
// The source may be part of the old chain, so the clone is taken first.
void object3D::replaceChain(const object3D& source) {
    object3D* newChain = source.sibling ? source.sibling->clone() : nullptr;
    const bool sourceHasParent = source.parent != nullptr;
    delete sibling;
    sibling = newChain;
    if (!sibling) return;
    sibling->parent = this;
    if (!sourceHasParent)
        for (object3D* o = sibling; o; o = o->sibling) o->parent = this;
}

object3D& object3D::operator+=(const object3D& rhs) {
    object3D* copy = rhs.clone();
    copy->parent = this;
    object3D* last = this;
    while (last->sibling) last = last->sibling;
    last->sibling = copy;
    return *this;
}

void object3D::allocateMesh(unsigned short vertexTotal, short faceTotal, const char* shape) {
    vertexCount = vertexTotal;
    faceCount = faceTotal;
    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount > 0 ? faceCount : 0];
    if (vertices == nullptr || faces == nullptr) {
        // Static: fatal exits inside this call, and a local would never be released.
        static std::string message;
        message = std::string(shape) +
                  " constructor couldn't allocate a vertex and/or face array (out of memory?)";
        fatal(message.c_str());
    }
}

void object3D::checkVertexCount(long generated) const {
    if (generated > vertexCount) fatal("generated more vertices than you allowed space for");
    if (generated < vertexCount) fatal("allocated space for more vertices than you generated");
}

void object3D::checkFaceCount(long generated) const {
    if (generated > faceCount) fatal("generated more faces than you allowed space for");
    if (generated < faceCount) fatal("allocated space for more faces than you generated");
}

object3D::~object3D() {
    delete sibling;
    delete[] vertices;
    delete[] faces;
}

void object3D::setLocation(float x, float y, float z) { location.set(x, y, z); }
void object3D::setLocation(vec& v) { location = v; }
void object3D::getLocation(float& x, float& y, float& z) {
    x = location.data[0];
    y = location.data[1];
    z = location.data[2];
}
void object3D::getLocation(vec& v) { v = location; }
void object3D::setOrientation(float x, float y, float z) { orientation.set(x, y, z); }
void object3D::getOrientation(float& x, float& y, float& z) {
    x = orientation.data[0];
    y = orientation.data[1];
    z = orientation.data[2];
}
void object3D::setScale(float s) { scale = s; }
void object3D::setLocalOffset(float x, float y, float z) { localOffset.set(x, y, z); }
void object3D::setLocalOrientation(float x, float y, float z) { localOrientation.set(x, y, z); }
void object3D::setLocalScale(float x, float y, float z) { localScale.set(x, y, z); }
void object3D::moveBy(float x, float y, float z) { location.add(x, y, z); }
void object3D::rotateBy(float x, float y, float z) { orientation.add(x, y, z); }
void object3D::localOffsetBy(float x, float y, float z) { localOffset.add(x, y, z); }
void object3D::localRotateBy(float x, float y, float z) { localOrientation.add(x, y, z); }

void object3D::setColour(float red, float green, float blue) { setColour(red, green, blue, 1); }

void object3D::setColour(float red, float green, float blue, float alpha) {
    theColour[0] = red;
    theColour[1] = green;
    theColour[2] = blue;
    theColour[3] = alpha;
    translucent = alpha < 1;
}

void object3D::setColour(float* aColour) {
    setColour(aColour[0], aColour[1], aColour[2], aColour[3]);
}

void object3D::getColour(float& r, float& g, float& b, float& a) {
    r = theColour[0];
    g = theColour[1];
    b = theColour[2];
    a = theColour[3];
}

void object3D::setSpecularColour(float red, float green, float blue, float alpha) {
    theSpecularColour[0] = red;
    theSpecularColour[1] = green;
    theSpecularColour[2] = blue;
    theSpecularColour[3] = alpha;
}

void object3D::setSpecularColour(float* aColour) {
    setSpecularColour(aColour[0], aColour[1], aColour[2], aColour[3]);
}

void object3D::setShininess(float s) { theShininess = s; }
float object3D::getShininess() { return theShininess; }
void object3D::hide() { invisible = true; }
void object3D::show() { invisible = false; }
bool object3D::isInvisible() { return invisible; }
bool object3D::isTranslucent() { return translucent; }
void object3D::setTexture(texture* t) { theTexture = t; }
void object3D::setTexture(texture* t, float scaleX, float scaleY) {
    theTexture = t;
    textureScaleX = scaleX;
    textureScaleY = scaleY;
}
void object3D::setParent(object3D* p) { parent = p; }
object3D* object3D::getParent() { return parent; }
unsigned short object3D::getVertexCount() { return vertexCount; }
unsigned short object3D::getFaceCount() { return (unsigned short)faceCount; }

// --- Hierarchy and absolute placement -------------------------------------

namespace {
// m = m * (rotation about x, then y, then z by the angles in degrees), the
// order in which buildModelViewMatrix issues its three glRotatef calls.
void multiplyRotations(matrix& m, const vec& angles) {
    matrix t;
    t.setRotateX(angles.data[0]);
    m = m * t;
    t.setRotateY(angles.data[1]);
    m = m * t;
    t.setRotateZ(angles.data[2]);
    m = m * t;
}
} // namespace

// The software twin of buildModelViewMatrix: the same factors in the same
// order, each multiplied on the right as OpenGL does.
void object3D::buildAbsoluteLocation(short depth, matrix& m) {
    if (parent) parent->buildAbsoluteLocation(depth + 1, m);
    matrix t;
    t.setTranslate(location.data[0], location.data[1], location.data[2]);
    m = m * t;
    multiplyRotations(m, orientation);
    t.setScale(scale);
    m = m * t;
    multiplyRotations(m, localOrientation);
    t.setTranslate(localOffset.data[0], localOffset.data[1], localOffset.data[2]);
    m = m * t;
    if (depth == 0) {
        t.setScale(localScale.data[0], localScale.data[1], localScale.data[2]);
        m = m * t;
    }
}

void object3D::getAbsoluteLocation(vec& v) {
    matrix m;
    buildAbsoluteLocation(0, m);
    v = m * v;
}

void object3D::getAbsoluteOrientation(vec& v) {
    if (parent) parent->getAbsoluteOrientation(v);
    v = v + orientation;
}

void object3D::buildAbsoluteScale(short depth, float& s, vec& v) {
    if (parent) parent->buildAbsoluteScale(depth + 1, s, v);
    s = s * scale;
    if (depth == 0) {
        v.data[0] *= localScale.data[0];
        v.data[1] *= localScale.data[1];
        v.data[2] *= localScale.data[2];
    }
}

void object3D::getAbsoluteScale(float& s, vec& v) {
    s = 1;
    v.set(1, 1, 1);
    buildAbsoluteScale(0, s, v);
}

void object3D::connect(object3D* theParent) {
    vec parentAbsLoc;
    theParent->getAbsoluteLocation(parentAbsLoc);
    vec parentAbsOrient;
    theParent->getAbsoluteOrientation(parentAbsOrient);
    vec relLocation = location - parentAbsLoc;
    matrix rcx, rcy, rcz;
    rcx.setRotateX(-parentAbsOrient.data[0]);
    rcy.setRotateY(-parentAbsOrient.data[1]);
    rcz.setRotateZ(-parentAbsOrient.data[2]);
    relLocation = rcz * relLocation;
    relLocation = rcy * relLocation;
    relLocation = rcx * relLocation;
    setLocation(relLocation);
    localOrientation = localOrientation - parentAbsOrient;
    parent = theParent;
}

void object3D::disconnect() {
    vec absLocation;
    getAbsoluteLocation(absLocation);
    vec absOrientation;
    getAbsoluteOrientation(absOrientation);
    float absScale;
    vec absLocalscale;
    getAbsoluteScale(absScale, absLocalscale);
    location = absLocation;
    orientation = absOrientation;
    setScale(absScale);
    localScale = absLocalscale;
    parent = nullptr;
}

// --- Drawing and normals ----------------------------------------------------

void object3D::draw(bool drawTranslucent) {
    if (isInvisible()) return; // hides the rest of the chain too
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glLoadIdentity();
    buildModelViewMatrix(0);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, theColour);
    glMaterialfv(GL_FRONT, GL_SPECULAR, theSpecularColour);
    glMaterialf(GL_FRONT, GL_SHININESS, theShininess);
    if (drawTranslucent == translucent) privateDraw();
    if (sibling) sibling->draw(drawTranslucent);
    glPopAttrib();
}

// Ancestors first, so the outermost transform is applied first; the local scale
// belongs to the object being drawn alone, never to what is attached to it.
void object3D::buildModelViewMatrix(short depth) {
    if (parent) parent->buildModelViewMatrix(depth + 1);
    glTranslatef(location.data[0], location.data[1], location.data[2]);
    glRotatef(orientation.data[0], 1, 0, 0);
    glRotatef(orientation.data[1], 0, 1, 0);
    glRotatef(orientation.data[2], 0, 0, 1);
    glScalef(scale, scale, scale);
    glRotatef(localOrientation.data[0], 1, 0, 0);
    glRotatef(localOrientation.data[1], 0, 1, 0);
    glRotatef(localOrientation.data[2], 0, 0, 1);
    glTranslatef(localOffset.data[0], localOffset.data[1], localOffset.data[2]);
    if (depth == 0) glScalef(localScale.data[0], localScale.data[1], localScale.data[2]);
}

void object3D::privateDraw() {
    if (listName != 0) {
        glCallList(listName);
    } else if (faceCount == 0) {
        glPointSize(2);
        glBegin(GL_POINTS);
        for (unsigned i = 0; i < vertexCount; ++i) glVertex3fv(vertices[i].coordinate.data);
        glEnd();
        glPointSize(1);
    } else {
        for (int f = 0; f < faceCount; ++f) {
            face& fc = faces[f];
            glBegin(fc.vertices == 3 ? GL_TRIANGLES : GL_QUADS);
            if (flatFaces) glNormal3fv(fc.faceNormal.data);
            // Corners go through face::vertex, so a face that was never
            // initialised stops the program here instead of drawing nothing.
            const unsigned short corners = fc.vertices == 4 ? 4 : 3;
            for (unsigned short k = 0; k < corners; ++k) {
                const vertex& v = vertices[fc.vertex(k)];
                if (!flatFaces) glNormal3fv(v.normal.data);
                glVertex3fv(v.coordinate.data);
            }
            glEnd();
        }
    }
    gPolygonCount += faceCount;
}

// Every shape computes its normals once its mesh is built, so this is where a
// corner index outside the vertex array is caught, before anything reads it.
void object3D::calculateFaceNormals() {
    for (int f = 0; f < faceCount; ++f) {
        face& fc = faces[f];
        for (int j = 0; j < fc.vertices && j < 4; ++j)
            if (fc.vert[j] < 0 || fc.vert[j] >= int(vertexCount))
                fatal("object3D: a face refers to a vertex outside its mesh");
        calculateNormal(fc.faceNormal.data, vertices[fc.vertex(0)].coordinate.data,
                        vertices[fc.vertex(1)].coordinate.data,
                        vertices[fc.vertex(2)].coordinate.data);
    }
}

// Each vertex normal is the mean of the unit normals of the faces that use it,
// not rescaled (GL_NORMALIZE is on when drawing). Counters and indices are wide
// enough for every vertex a 16-bit mesh can hold.
void object3D::calculateVertexNormals() {
    calculateFaceNormals();
    std::unique_ptr<int[]> sharedFaceCount(new (std::nothrow) int[vertexCount]);
    if (!sharedFaceCount && vertexCount)
        fatal("object3D::calculateVertexNormals couldn't allocate its counters (out of memory?)");
    for (unsigned v = 0; v < vertexCount; ++v) {
        vertices[v].normal.set(0, 0, 0);
        sharedFaceCount[v] = 0;
    }
    for (int f = 0; f < faceCount; ++f) {
        face& fc = faces[f];
        for (int j = 0; j < fc.vertices; ++j) {
            int v = fc.vert[j]; // checked by calculateFaceNormals
            vertices[v].normal = vertices[v].normal + fc.faceNormal;
            ++sharedFaceCount[v];
        }
    }
    for (unsigned v = 0; v < vertexCount; ++v) {
        int n = sharedFaceCount[v];
        if (n > 0) {
            vertices[v].normal.data[0] /= n;
            vertices[v].normal.data[1] /= n;
            vertices[v].normal.data[2] /= n;
        }
    }
}
