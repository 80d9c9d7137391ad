// The window program's lighting, as OpenGL's fixed-function pipeline computes
// it there, in a three.js ShaderMaterial: one colour per vertex, interpolated
// (Gouraud), from the global ambient light, four positional lights and each
// object's material. Three things of that program decide the equations:
//   - the view transform lives in its projection matrix, so lights, normals
//     and the viewer direction are all taken in world coordinates;
//   - the viewer is not local: half vectors use the fixed direction +z;
//   - a light is placed under its own translation, so OpenGL receives twice
//     the location the scene gives it (support/light.cpp).
// No colour management and no tone mapping: the colour written is the
// colour computed, as in the window.
import { LessDepth, Matrix3, NoBlending, NormalBlending, ShaderMaterial, Vector3 } from 'three';

// basicsource/scene.cpp InitScene: where OpenGL sees each light, its diffuse
// colour and its specular colour. Lights have no ambient part of their own.
const kLights = [
  { position: [-10, 0, 10], diffuse: [1, 1, 1], specular: [0.4, 0.4, 0.4] },
  { position: [20, -10, 10], diffuse: [1, 1, 1], specular: [0.5, 0.5, 0.5] },
  { position: [10, 20, -10], diffuse: [1, 1, 0], specular: [0.7, 0.7, 0.7] },
  { position: [-6, -1, -2], diffuse: [1, 1, 1], specular: [0.5, 0.5, 0.5] },
];
// The global ambient light (0.5 grey, basicsource/main.cpp) times OpenGL's
// default material ambient (0.2): every object's floor.
const kAmbient = 0.5 * 0.2;
// support/object3d.cpp: every object's specular colour (1, 1, 1) and shininess.
const kShininess = 25;

const lightUniforms = {
  lightPositions: { value: kLights.map((l) => new Vector3(...l.position)) },
  lightDiffuse: { value: kLights.map((l) => new Vector3(...l.diffuse)) },
  lightSpecular: { value: kLights.map((l) => new Vector3(...l.specular)) },
};

const vertexShader = /* glsl */ `
uniform vec4 diffuseColour;
uniform vec3 lightPositions[4];
uniform vec3 lightDiffuse[4];
uniform vec3 lightSpecular[4];
uniform mat3 worldNormalMatrix;
uniform float pointSize;
#ifdef WIRE_FRAME
attribute vec3 edge;
varying vec3 edgeDistance;
#endif
varying vec4 colour;

void main() {
  vec4 world = modelMatrix * vec4(position, 1.0);
  vec3 n = normalize(worldNormalMatrix * normal);
  vec3 c = vec3(${kAmbient.toFixed(3)});
  for (int i = 0; i < 4; ++i) {
    vec3 l = normalize(lightPositions[i] - world.xyz);
    float d = dot(n, l);
    if (d > 0.0) {
      vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
      c += d * lightDiffuse[i] * diffuseColour.rgb
         + pow(max(dot(n, h), 0.0), ${kShininess.toFixed(1)}) * lightSpecular[i];
    }
  }
  colour = vec4(min(c, 1.0), diffuseColour.a);
#ifdef WIRE_FRAME
  edgeDistance = edge;
#endif
  gl_PointSize = pointSize;
  gl_Position = projectionMatrix * viewMatrix * world;
}
`;

const fragmentShader = /* glsl */ `
#ifdef WIRE_FRAME
varying vec3 edgeDistance;
#endif
varying vec4 colour;

void main() {
#ifdef WIRE_FRAME
  // Polygon outline mode: keep only the fragments within half a pixel of a
  // drawn edge (a barycentric coordinate near 0, measured in pixels), so
  // that the two faces along an edge draw it one pixel wide between them.
  vec3 pixels = edgeDistance / fwidth(edgeDistance);
  if (min(pixels.x, min(pixels.y, pixels.z)) > 0.5) discard;
#endif
  gl_FragColor = colour;
}
`;

// A material for one object: its diffuse colour and alpha (below 1: drawn in
// the translucent pass, blended over the rest without writing depth), and
// the size of its points in pixels. Every object's geometry has normals.
// Opaque objects are drawn without blending, as in the program; that also
// keeps every object on one compiled program (three.js would compile another
// for materials it takes as opaque), and each program costs the first frame
// its compilation. setWireFrame below turns a material of a mesh with an
// `edge` attribute into its outline version and back.
export function fixedFunctionMaterial({ colour, pointSize = 1 }) {
  const translucent = colour[3] < 1;
  return new ShaderMaterial({
    defines: {},
    uniforms: {
      ...lightUniforms,
      diffuseColour: { value: colour },
      worldNormalMatrix: { value: new Matrix3() },
      pointSize: { value: pointSize },
    },
    vertexShader,
    fragmentShader,
    transparent: translucent,
    depthWrite: !translucent,
    blending: translucent ? NormalBlending : NoBlending,
    depthFunc: LessDepth, // OpenGL's default; three.js would use less-or-equal
  });
}

// Polygons as outlines or filled. The outline test is a separate program:
// its `discard` would cost every filled frame too (a software renderer then
// tests depth late).
export function setWireFrame(material, on) {
  if (on === 'WIRE_FRAME' in material.defines) return;
  if (on) material.defines.WIRE_FRAME = '';
  else delete material.defines.WIRE_FRAME;
  material.needsUpdate = true;
}

// Keeps the material's normal matrix (inverse transpose of the object's world
// matrix, as OpenGL turns normals) up to date as the object moves.
export function attachMaterial(object, material) {
  object.material = material;
  object.onBeforeRender = () => {
    material.uniforms.worldNormalMatrix.value.getNormalMatrix(object.matrixWorld);
  };
  return object;
}
