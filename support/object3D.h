// object3D: the abstract base of every drawable scene object and of the lights.
// It owns a mesh (vertex and face arrays, 16-bit counts), a placement (location,
// orientation, scale, then a local orientation, offset and per-axis scale;
// angles in degrees), a material, an optional display list and a chain of
// attached objects (`sibling`, owned) placed relative to a `parent` (not owned).
#pragma once

#include <GL/gl.h>

#include "support/face.h"
#include "support/matrix.h"
#include "support/vec.h"
#include "support/vertex.h"

class texture;

class object3D {
  public:
    object3D();
    object3D(const object3D& source);
    object3D& operator=(const object3D& source); // deep copy; shares parent, texture, list
    object3D& operator+=(const object3D& rhs);   // attaches a clone of rhs to the chain
    virtual ~object3D();                         // destroys the chain after this object
    virtual object3D* clone() const = 0;         // the caller owns the copy
    virtual void privateDraw();                  // this object's geometry only

    void setLocation(float x, float y, float z);
    void setLocation(vec& v);
    void getLocation(float& x, float& y, float& z);
    void getLocation(vec& v);
    void setOrientation(float x, float y, float z);
    void getOrientation(float& x, float& y, float& z);
    void setScale(float s);
    void setLocalOffset(float x, float y, float z);
    void setLocalOrientation(float x, float y, float z);
    void setLocalScale(float x, float y, float z);
    void moveBy(float x, float y, float z);
    void rotateBy(float x, float y, float z);
    void localOffsetBy(float x, float y, float z);
    void localRotateBy(float x, float y, float z);

    void setColour(float red, float green, float blue);              // opaque
    void setColour(float red, float green, float blue, float alpha); // translucent if alpha < 1
    void setColour(float* aColour);
    void getColour(float& r, float& g, float& b, float& a);
    void setSpecularColour(float red, float green, float blue, float alpha);
    void setSpecularColour(float* aColour);
    void setShininess(float s);
    float getShininess();
    void hide();
    void show();
    bool isInvisible();
    bool isTranslucent();
    void setTexture(texture* t); // not owned
    void setTexture(texture* t, float scaleX, float scaleY);
    void setParent(object3D* p); // no other change
    object3D* getParent();
    unsigned short getVertexCount();
    unsigned short getFaceCount();
    // Read access to the mesh and the display list, for tools and tests.
    const vertex* getVertices() const { return vertices; }
    const face* getFaces() const { return faces; }
    GLuint getListName() const { return listName; }

    // Hierarchy and absolute placement, computed in software.
    void connect(object3D* theParent); // keeps the world placement
    void disconnect();                 // bakes the absolute placement in
    void getAbsoluteLocation(vec& v);  // v: a point of this object's frame, in place
    void getAbsoluteOrientation(vec& v);
    void getAbsoluteScale(float& s, vec& v);

    // Drawing: draws this object (in the pass matching its translucency) and its
    // chain. Leaves the model-view matrix at the last placement it built.
    void draw(bool drawTranslucent);
    void calculateFaceNormals();
    void calculateVertexNormals(); // mean of the unit normals of the faces using a vertex

  protected:
    // The shapes' building protocol. allocateMesh sets the counts and allocates
    // both arrays, or ends the program with "<shape> constructor couldn't
    // allocate a vertex and/or face array (out of memory?)". The checks end it
    // when a generator made more or fewer vertices (faces) than it allocated.
    void allocateMesh(unsigned short vertices, short faces, const char* shape);
    void checkVertexCount(long generated) const;
    void checkFaceCount(long generated) const;

    void buildModelViewMatrix(short depth);
    void buildAbsoluteLocation(short depth, matrix& m);
    void buildAbsoluteScale(short depth, float& s, vec& v);

    unsigned short vertexCount;
    short faceCount; // 0: drawn as a cloud of points
    vertex* vertices;
    face* faces;
    vertex* lineVertices; // reserved: never allocated, read or released

    vec location;
    vec orientation;
    float scale;
    vec localOffset;
    vec localOrientation;
    vec localScale;

    float theColour[4];
    float theSpecularColour[4];
    float theShininess;
    bool flatFaces;
    bool invisible;
    bool translucent;

    texture* theTexture;
    float textureScaleX;
    float textureScaleY;

    object3D* parent;
    object3D* sibling;
    GLuint listName; // 0: none; never deleted

  private:
    // Copying, in three parts; every field above belongs to exactly one of
    // them, except lineVertices, which is never copied (see object3d.cpp).
    void copyMesh(const object3D& source);
    void copyValues(const object3D& source);
    void replaceChain(const object3D& source);
};
