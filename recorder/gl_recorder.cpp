#include "recorder/gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

namespace {
std::vector<glCall> calls;
bool recording = false;

void record(const char* name, std::initializer_list<double> args) { recordCall(name, args); }
void recordArray(const char* name, std::initializer_list<double> head, const GLfloat* p, int n) {
    if (!recording) return;
    glCall c{name, std::vector<double>(head)};
    for (int i = 0; i < n; ++i) c.args.push_back(p ? p[i] : NAN);
    calls.push_back(c);
}
// Number of floats behind a light, material or light-model vector parameter.
int paramCount(GLenum pname) {
    switch (pname) {
    case GL_SHININESS:
    case GL_SPOT_EXPONENT:
    case GL_SPOT_CUTOFF:
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
    case GL_LIGHT_MODEL_LOCAL_VIEWER:
    case GL_LIGHT_MODEL_TWO_SIDE: return 1;
    case GL_SPOT_DIRECTION: return 3;
    default: return 4;
    }
}
} // namespace

void startRecording() {
    calls.clear();
    recording = true;
}
std::vector<glCall> stopRecording() {
    recording = false;
    std::vector<glCall> out;
    out.swap(calls);
    return out;
}
const std::vector<glCall>& recordedCalls() { return calls; }
void recordCall(const char* name, std::initializer_list<double> args) {
    if (recording) calls.push_back({name, std::vector<double>(args)});
}

std::vector<glCall> callsNamed(const std::vector<glCall>& in,
                               std::initializer_list<const char*> names) {
    std::vector<glCall> out;
    for (const glCall& c : in)
        for (const char* n : names)
            if (c.name == n) {
                out.push_back(c);
                break;
            }
    return out;
}

static bool argsMatch(const glCall& have, const glCall& want, double tol) {
    if (have.name != want.name) return false;
    if (want.args.empty()) return true;
    if (have.args.size() != want.args.size()) return false;
    for (size_t i = 0; i < want.args.size(); ++i) {
        double a = have.args[i], b = want.args[i];
        if (std::isnan(a) && std::isnan(b)) continue;
        if (std::fabs(a - b) > tol * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b))))
            return false;
    }
    return true;
}

std::string describe(const glCall& c) {
    std::string s = c.name + "(";
    char buf[32];
    for (size_t i = 0; i < c.args.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%s%.7g", i ? ", " : "", c.args[i]);
        s += buf;
    }
    return s + ")";
}

bool containsInOrder(const std::vector<glCall>& have, const std::vector<glCall>& want,
                     std::string* why, double tol) {
    size_t pos = 0;
    for (const glCall& w : want) {
        while (pos < have.size() && !argsMatch(have[pos], w, tol)) ++pos;
        if (pos == have.size()) {
            if (why) *why = "not found in order: " + describe(w);
            return false;
        }
        ++pos;
    }
    return true;
}

// The wrappers. Each records its call, then calls the real entry point; one
// line each where that fits, as a table.
// clang-format off
#define REAL(ret, name, ...) extern "C" ret __real_##name(__VA_ARGS__);

extern "C" {
REAL(void, glBegin, GLenum)
void __wrap_glBegin(GLenum m) { record("glBegin", {double(m)}); __real_glBegin(m); }
REAL(void, glEnd, void)
void __wrap_glEnd() { record("glEnd", {}); __real_glEnd(); }
REAL(void, glVertex3fv, const GLfloat*)
void __wrap_glVertex3fv(const GLfloat* v) { recordArray("glVertex3fv", {}, v, 3); __real_glVertex3fv(v); }
REAL(void, glVertex3f, GLfloat, GLfloat, GLfloat)
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", {x, y, z}); __real_glVertex3f(x, y, z); }
REAL(void, glNormal3fv, const GLfloat*)
void __wrap_glNormal3fv(const GLfloat* v) { recordArray("glNormal3fv", {}, v, 3); __real_glNormal3fv(v); }
REAL(void, glNormal3f, GLfloat, GLfloat, GLfloat)
void __wrap_glNormal3f(GLfloat x, GLfloat y, GLfloat z) { record("glNormal3f", {x, y, z}); __real_glNormal3f(x, y, z); }
REAL(void, glMaterialfv, GLenum, GLenum, const GLfloat*)
void __wrap_glMaterialfv(GLenum f, GLenum p, const GLfloat* v) {
    recordArray("glMaterialfv", {double(f), double(p)}, v, paramCount(p));
    __real_glMaterialfv(f, p, v);
}
REAL(void, glMaterialf, GLenum, GLenum, GLfloat)
void __wrap_glMaterialf(GLenum f, GLenum p, GLfloat v) { record("glMaterialf", {double(f), double(p), v}); __real_glMaterialf(f, p, v); }
REAL(void, glTranslatef, GLfloat, GLfloat, GLfloat)
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", {x, y, z}); __real_glTranslatef(x, y, z); }
REAL(void, glRotatef, GLfloat, GLfloat, GLfloat, GLfloat)
void __wrap_glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { record("glRotatef", {a, x, y, z}); __real_glRotatef(a, x, y, z); }
REAL(void, glScalef, GLfloat, GLfloat, GLfloat)
void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) { record("glScalef", {x, y, z}); __real_glScalef(x, y, z); }
REAL(void, glLoadIdentity, void)
void __wrap_glLoadIdentity() { record("glLoadIdentity", {}); __real_glLoadIdentity(); }
REAL(void, glMatrixMode, GLenum)
void __wrap_glMatrixMode(GLenum m) { record("glMatrixMode", {double(m)}); __real_glMatrixMode(m); }
REAL(void, glPushMatrix, void)
void __wrap_glPushMatrix() { record("glPushMatrix", {}); __real_glPushMatrix(); }
REAL(void, glPopMatrix, void)
void __wrap_glPopMatrix() { record("glPopMatrix", {}); __real_glPopMatrix(); }
REAL(void, glPushAttrib, GLbitfield)
void __wrap_glPushAttrib(GLbitfield m) { record("glPushAttrib", {double(m)}); __real_glPushAttrib(m); }
REAL(void, glPopAttrib, void)
void __wrap_glPopAttrib() { record("glPopAttrib", {}); __real_glPopAttrib(); }
REAL(void, glCallList, GLuint)
void __wrap_glCallList(GLuint l) { record("glCallList", {double(l)}); __real_glCallList(l); }
REAL(void, glNewList, GLuint, GLenum)
void __wrap_glNewList(GLuint l, GLenum m) { record("glNewList", {double(l), double(m)}); __real_glNewList(l, m); }
REAL(void, glEndList, void)
void __wrap_glEndList() { record("glEndList", {}); __real_glEndList(); }
REAL(GLuint, glGenLists, GLsizei)
GLuint __wrap_glGenLists(GLsizei n) {
    GLuint r = __real_glGenLists(n);
    record("glGenLists", {double(n), double(r)});
    return r;
}
REAL(void, glPointSize, GLfloat)
void __wrap_glPointSize(GLfloat s) { record("glPointSize", {s}); __real_glPointSize(s); }
REAL(void, glLineWidth, GLfloat)
void __wrap_glLineWidth(GLfloat w) { record("glLineWidth", {w}); __real_glLineWidth(w); }
REAL(void, glEnable, GLenum)
void __wrap_glEnable(GLenum c) { record("glEnable", {double(c)}); __real_glEnable(c); }
REAL(void, glDisable, GLenum)
void __wrap_glDisable(GLenum c) { record("glDisable", {double(c)}); __real_glDisable(c); }
REAL(void, glLightfv, GLenum, GLenum, const GLfloat*)
void __wrap_glLightfv(GLenum l, GLenum p, const GLfloat* v) {
    recordArray("glLightfv", {double(l), double(p)}, v, paramCount(p));
    __real_glLightfv(l, p, v);
}
REAL(void, glLightModelfv, GLenum, const GLfloat*)
void __wrap_glLightModelfv(GLenum p, const GLfloat* v) {
    recordArray("glLightModelfv", {double(p)}, v, paramCount(p));
    __real_glLightModelfv(p, v);
}
REAL(void, glPolygonMode, GLenum, GLenum)
void __wrap_glPolygonMode(GLenum f, GLenum m) { record("glPolygonMode", {double(f), double(m)}); __real_glPolygonMode(f, m); }
REAL(void, glClearColor, GLclampf, GLclampf, GLclampf, GLclampf)
void __wrap_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record("glClearColor", {r, g, b, a}); __real_glClearColor(r, g, b, a); }
REAL(void, glClear, GLbitfield)
void __wrap_glClear(GLbitfield m) { record("glClear", {double(m)}); __real_glClear(m); }
REAL(void, glDepthMask, GLboolean)
void __wrap_glDepthMask(GLboolean f) { record("glDepthMask", {double(f)}); __real_glDepthMask(f); }
REAL(void, glAlphaFunc, GLenum, GLclampf)
void __wrap_glAlphaFunc(GLenum f, GLclampf r) { record("glAlphaFunc", {double(f), r}); __real_glAlphaFunc(f, r); }
REAL(void, glBlendFunc, GLenum, GLenum)
void __wrap_glBlendFunc(GLenum s, GLenum d) { record("glBlendFunc", {double(s), double(d)}); __real_glBlendFunc(s, d); }
REAL(void, glOrtho, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble)
void __wrap_glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    record("glOrtho", {l, r, b, t, n, f});
    __real_glOrtho(l, r, b, t, n, f);
}
REAL(void, glColor3f, GLfloat, GLfloat, GLfloat)
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", {r, g, b}); __real_glColor3f(r, g, b); }
REAL(void, glRasterPos2i, GLint, GLint)
void __wrap_glRasterPos2i(GLint x, GLint y) { record("glRasterPos2i", {double(x), double(y)}); __real_glRasterPos2i(x, y); }
REAL(void, glViewport, GLint, GLint, GLsizei, GLsizei)
void __wrap_glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    record("glViewport", {double(x), double(y), double(w), double(h)});
    __real_glViewport(x, y, w, h);
}
REAL(GLenum, glGetError, void)
GLenum __wrap_glGetError() {
    const GLenum e = __real_glGetError();
    record("glGetError", {double(e)});
    return e;
}
REAL(const GLubyte*, gluErrorString, GLenum)
const GLubyte* __wrap_gluErrorString(GLenum e) { record("gluErrorString", {double(e)}); return __real_gluErrorString(e); }
REAL(void, gluPerspective, GLdouble, GLdouble, GLdouble, GLdouble)
void __wrap_gluPerspective(GLdouble f, GLdouble a, GLdouble n, GLdouble fa) {
    record("gluPerspective", {f, a, n, fa});
    __real_gluPerspective(f, a, n, fa);
}
REAL(void, gluLookAt, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble)
void __wrap_gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                      GLdouble ux, GLdouble uy, GLdouble uz) {
    record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
    __real_gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
}
// clang-format on
