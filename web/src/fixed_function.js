// The window program's lighting, as OpenGL's fixed-function pipeline computes
// it there, in a three.js ShaderMaterial: one colour per vertex, interpolated
// (Gouraud), from the global ambient light, the lights and each object's
// material, all as a frame of the program sets them (scene.json). Two things
// of that program decide the equations:
//   - the view transform lives in its projection matrix, so lights, normals
//     and the viewer direction are all taken in world coordinates;
//   - the viewer is not local: half vectors use the fixed direction +z.
// No colour management and no tone mapping: the colour written is the
// colour computed, as in the window.
import { LessDepth, Matrix3, NoBlending, NormalBlending, ShaderMaterial, Vector3, Vector4 } from 'three';

// OpenGL's default material ambient colour, which the program never changes:
// each object's floor is the global ambient light times this.
const kMaterialAmbient = 0.2;

// The lighting a frame of the program sets up, from scene.json: the global
// ambient light and the lights that are on, each where OpenGL received it
// (under the light's own placement), with its diffuse and specular colours.
// Lights have no ambient part of their own.
function lightingUniforms({ ambient, lights }) {
  return {
    ambientLight: { value: new Vector3(...ambient.slice(0, 3)).multiplyScalar(kMaterialAmbient) },
    lightPositions: { value: lights.map((l) => new Vector4(...l.position)) },
    lightDiffuse: { value: lights.map((l) => new Vector3(...l.diffuse.slice(0, 3))) },
    lightSpecular: { value: lights.map((l) => new Vector3(...l.specular.slice(0, 3))) },
  };
}

const vertexShader = /* glsl */ `
uniform vec4 diffuseColour;
uniform vec3 specularColour;
uniform float shininess;
uniform vec3 ambientLight;
uniform vec4 lightPositions[LIGHTS];
uniform vec3 lightDiffuse[LIGHTS];
uniform vec3 lightSpecular[LIGHTS];
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
  vec3 c = ambientLight;
  for (int i = 0; i < LIGHTS; ++i) {
    vec4 p = lightPositions[i];
    vec3 l = normalize(p.w == 0.0 ? p.xyz : p.xyz / p.w - world.xyz);
    float d = dot(n, l);
    if (d > 0.0) {
      vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
      c += d * lightDiffuse[i] * diffuseColour.rgb
         + pow(max(dot(n, h), 0.0), shininess) * lightSpecular[i] * specularColour;
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

// A material for one object, from scene.json: its diffuse colour and alpha
// (below 1: drawn in the translucent pass, blended over the rest without
// writing depth), its specular colour and shininess, and the size of its
// points in pixels; `lighting` is the scene's (ambient and lights). Every
// object's geometry has normals. Opaque objects are drawn without blending,
// as in the program; that also keeps every object on one compiled program
// (three.js would compile another for materials it takes as opaque), and each
// program costs the first frame its compilation. setWireFrame below turns a
// material of a mesh with an `edge` attribute into its outline version and back.
export function fixedFunctionMaterial({ diffuse, specular, shininess, pointSize = 1 }, lighting) {
  const translucent = diffuse[3] < 1;
  return new ShaderMaterial({
    defines: { LIGHTS: lighting.lights.length },
    uniforms: {
      ...lightingUniforms(lighting),
      diffuseColour: { value: diffuse },
      specularColour: { value: new Vector3(...specular.slice(0, 3)) },
      shininess: { value: shininess },
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
