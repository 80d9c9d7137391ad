// testObject: the smallest concrete scene object, for tests of the object3D
// framework. It counts live instances (so chain ownership can be checked),
// builds meshes from plain lists, and exposes the protected state tests read.
#pragma once

#include <array>
#include <initializer_list>
#include <vector>

#include "support/object3D.h"

class testObject : public object3D {
  public:
    inline static int live = 0; // instances currently alive, clones included

    testObject() { ++live; }
    testObject(const testObject& source) : object3D(source) { ++live; }
    testObject& operator=(const testObject& source) = default;
    ~testObject() override { --live; }
    object3D* clone() const override { return new testObject(*this); }

    // Replaces the mesh. Each face lists 3 or 4 corner indices, or none for a
    // face left as default-constructed. No normals are computed.
    void setMesh(const std::vector<std::array<float, 3>>& points,
                 const std::vector<std::vector<short>>& corners) {
        delete[] vertices;
        delete[] faces;
        vertexCount = (unsigned short)points.size();
        faceCount = (short)corners.size();
        vertices = new vertex[points.size()];
        faces = new face[corners.size()];
        for (size_t i = 0; i < points.size(); ++i)
            vertices[i].set(points[i][0], points[i][1], points[i][2]);
        for (size_t i = 0; i < corners.size(); ++i) {
            const std::vector<short>& c = corners[i];
            if (c.size() == 3) faces[i].init(c[0], c[1], c[2]);
            if (c.size() == 4) faces[i].init(c[0], c[1], c[2], c[3]);
        }
    }
    vertex& vertexAt(int i) { return vertices[i]; }
    face& faceAt(int i) { return faces[i]; }
    void setFlatFaces(bool flat) { flatFaces = flat; }
    bool hasFlatFaces() const { return flatFaces; }
    void setListName(GLuint name) { listName = name; }

    testObject* next() const { return static_cast<testObject*>(sibling); }
    const vec& locationField() const { return location; }
    const vec& orientationField() const { return orientation; }
    const vec& localOffsetField() const { return localOffset; }
    const vec& localOrientationField() const { return localOrientation; }
    const vec& localScaleField() const { return localScale; }
    float scaleField() const { return scale; }
    const float* specularColour() const { return theSpecularColour; }
    texture* textureField() const { return theTexture; }
    float textureScaleXField() const { return textureScaleX; }
    float textureScaleYField() const { return textureScaleY; }
};
