// geodesics-scene: the window program's scene as the web page needs it, taken
// from the program's own code at build time rather than written again: the
// scene is built and its frames drawn off screen (as geodesics-render draws
// them) while the GL calls are recorded. Out comes a JSON file with each
// object's primitives (its display list, or what its drawing issues), material
// and placement, the lights as OpenGL receives them, the global ambient light,
// the projection, the filled pentagons' fans, and the spin, caption and end of
// the animation as the frames show them. Usage: geodesics-scene OUTPUT.json
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "basicsource/main.h"
#include "basicsource/scene.h"
#include "mathematics/json_text.h"
#include "mathematics/scene_constants.h"
#include "objects/tholix.h"
#include "offscreen/frame_clock.h"
#include "offscreen/offscreen_context.h"
#include "recorder/gl_recorder.h"
#include "support/matrix.h"

namespace {
const int kWidth = 720, kHeight = 576;

// One glBegin/glEnd group: each vertex with the normal current when it came.
struct primitive {
    GLenum mode = 0;
    std::vector<float> position, normal;
};

// One object3D::draw that drew something: its material, its placement as the
// matrices on either side of the spin (its local rotation about y), and its
// primitives, issued directly or through the display list it called.
struct drawnObject {
    float diffuse[4] = {}, specular[4] = {}, shininess = 0;
    std::vector<float> transforms; // the placement calls: kind, then 4 numbers
    GLuint list = 0;
    std::vector<primitive> primitives;
};

struct lightState {
    float position[4], diffuse[4], specular[4];
};

// What one frame issued.
struct frame {
    std::vector<drawnObject> objects;
    std::vector<lightState> lights;
    float ambient[4] = {};
    double perspective[4] = {};
    std::string text; // the overlay's characters
};

// --- Reading the recorded calls -------------------------------------------------

// The program's calls as recorder/gl_recorder records them, read in order with
// the state OpenGL itself would keep: the display lists being made, the current
// normal, the model-view matrix (to place the lights), and the object and frame
// being drawn. `inFrame`: the calls of a frame, whose objects are kept.
class callReader {
  public:
    void read(const std::vector<glCall>& calls, bool inFrame);

    std::map<GLuint, std::vector<primitive>> lists; // display lists by name
    std::map<GLuint, float> listPointSizes;         // the largest point size each sets
    frame now;                                      // what the frame read so far issued

  private:
    void readOne(const glCall& call);
    // What each call the program makes does to the state read here (readOne
    // lists which handles which).
    void newList(const glCall& call);
    void endList(const glCall&) { listBeingMade = 0; }
    void pointSize(const glCall& call);
    void callList(const glCall& call);
    void begin(const glCall& call);
    void end(const glCall&) { target = nullptr; }
    void normal(const glCall& call);
    void vertex(const glCall& call);
    void pushAttrib(const glCall&) { objectNow = drawnObject(); } // object3D::draw begins here
    void popAttrib(const glCall& call);
    void material(const glCall& call);
    void shininess(const glCall& call);
    void matrixMode(const glCall& call);
    void loadIdentity(const glCall& call);
    void translate(const glCall& call);
    void rotate(const glCall& call);
    void scale(const glCall& call);
    void place(matrix& m, float kind, const glCall& call);
    void light(const glCall& call);
    void lightModel(const glCall& call);
    void perspective(const glCall& call);
    void character(const glCall& call);
    static float arg(const glCall& call, size_t k) { return float(call.args[k]); }
    void multiply(matrix& m) { // matrix's operator* takes no const operands
        if (modelViewMode) modelView = modelView * m;
    }

    bool recording = false;
    GLuint listBeingMade = 0;
    std::vector<primitive>* target = nullptr; // where glBegin puts its group
    float normalNow[3] = {0, 0, 1};           // OpenGL's initial current normal
    drawnObject objectNow;
    matrix modelView;
    bool modelViewMode = true;
};

void callReader::read(const std::vector<glCall>& calls, bool inFrame) {
    recording = inFrame;
    if (inFrame) now = frame();
    for (const glCall& c : calls) readOne(c);
    recording = false;
}

void callReader::readOne(const glCall& call) {
    using handler = void (callReader::*)(const glCall&);
    // The calls that change what is read; the others change nothing here.
    static const std::map<std::string, handler> handlers = {
        // display lists being made and called
        {"glNewList", &callReader::newList},
        {"glEndList", &callReader::endList},
        {"glPointSize", &callReader::pointSize},
        {"glCallList", &callReader::callList},
        // glBegin/glEnd groups, normals, vertices
        {"glBegin", &callReader::begin},
        {"glEnd", &callReader::end},
        {"glNormal3fv", &callReader::normal},
        {"glNormal3f", &callReader::normal},
        {"glVertex3fv", &callReader::vertex},
        // one object3D::draw and its material
        {"glPushAttrib", &callReader::pushAttrib},
        {"glPopAttrib", &callReader::popAttrib},
        {"glMaterialfv", &callReader::material},
        {"glMaterialf", &callReader::shininess},
        // the matrices: the objects' placements and the model-view
        {"glMatrixMode", &callReader::matrixMode},
        {"glLoadIdentity", &callReader::loadIdentity},
        {"glTranslatef", &callReader::translate},
        {"glRotatef", &callReader::rotate},
        {"glScalef", &callReader::scale},
        // what only a frame sets: lights, projection, the overlay's characters
        {"glLightfv", &callReader::light},
        {"glLightModelfv", &callReader::lightModel},
        {"gluPerspective", &callReader::perspective},
        {"glutBitmapCharacter", &callReader::character},
    };
    const auto found = handlers.find(call.name);
    if (found != handlers.end()) (this->*found->second)(call);
}

void callReader::newList(const glCall& call) {
    listBeingMade = GLuint(call.args[0]);
    lists[listBeingMade].clear();
}

void callReader::pointSize(const glCall& call) {
    if (listBeingMade)
        listPointSizes[listBeingMade] = std::max(listPointSizes[listBeingMade], arg(call, 0));
}

void callReader::callList(const glCall& call) {
    if (recording) objectNow.list = GLuint(call.args[0]);
}

void callReader::begin(const glCall& call) {
    target = listBeingMade ? &lists[listBeingMade] : recording ? &objectNow.primitives : nullptr;
    if (target) target->push_back({GLenum(call.args[0]), {}, {}});
}

void callReader::normal(const glCall& call) {
    for (int k = 0; k < 3; ++k) normalNow[k] = arg(call, size_t(k));
}

void callReader::vertex(const glCall& call) {
    if (!target) return;
    for (int k = 0; k < 3; ++k) target->back().position.push_back(arg(call, size_t(k)));
    target->back().normal.insert(target->back().normal.end(), normalNow, normalNow + 3);
}

void callReader::popAttrib(const glCall&) {
    if (recording && (objectNow.list || !objectNow.primitives.empty()))
        now.objects.push_back(objectNow);
    objectNow = drawnObject();
}

void callReader::material(const glCall& call) {
    const GLenum p = GLenum(call.args[1]);
    float* to = p == GL_DIFFUSE    ? objectNow.diffuse
                : p == GL_SPECULAR ? objectNow.specular
                                   : nullptr;
    for (int k = 0; to && k < 4; ++k) to[k] = arg(call, size_t(2 + k));
}

void callReader::shininess(const glCall& call) {
    if (GLenum(call.args[1]) == GL_SHININESS) objectNow.shininess = arg(call, 2);
}

void callReader::matrixMode(const glCall& call) {
    modelViewMode = GLenum(call.args[0]) == GL_MODELVIEW;
}

void callReader::loadIdentity(const glCall&) {
    if (modelViewMode) modelView = matrix();
}

// A placement: multiplied into the model-view, and kept as its kind (0
// translate, 1 rotate, 2 scale) and four numbers.
void callReader::place(matrix& m, float kind, const glCall& call) {
    multiply(m);
    objectNow.transforms.insert(
        objectNow.transforms.end(),
        {kind, arg(call, 0), arg(call, 1), arg(call, 2), kind == 1 ? arg(call, 3) : 0});
}

void callReader::translate(const glCall& call) {
    matrix t;
    t.setTranslate(arg(call, 0), arg(call, 1), arg(call, 2));
    place(t, 0, call);
}

void callReader::rotate(const glCall& call) {
    matrix r; // object3D turns about one axis at a time
    if (arg(call, 1) != 0) r.setRotateX(arg(call, 0));
    if (arg(call, 2) != 0) r.setRotateY(arg(call, 0));
    if (arg(call, 3) != 0) r.setRotateZ(arg(call, 0));
    place(r, 1, call);
}

void callReader::scale(const glCall& call) {
    matrix m;
    m.setScale(arg(call, 0), arg(call, 1), arg(call, 2));
    place(m, 2, call);
}

void callReader::light(const glCall& call) {
    if (!recording) return;
    const size_t i = size_t(call.args[0]) - GL_LIGHT0;
    if (now.lights.size() <= i) now.lights.resize(i + 1, lightState{});
    lightState& to = now.lights[i];
    const GLenum p = GLenum(call.args[1]);
    if (p == GL_POSITION) { // as OpenGL stores it: under the current model-view
        vec given;
        given.set(arg(call, 2), arg(call, 3), arg(call, 4), arg(call, 5));
        const vec world = modelView * given;
        for (int k = 0; k < 4; ++k) to.position[k] = world.data[k];
    }
    float* colour = p == GL_DIFFUSE ? to.diffuse : p == GL_SPECULAR ? to.specular : nullptr;
    for (int k = 0; colour && k < 4; ++k) colour[k] = arg(call, size_t(2 + k));
}

void callReader::lightModel(const glCall& call) {
    if (recording && GLenum(call.args[0]) == GL_LIGHT_MODEL_AMBIENT)
        for (int k = 0; k < 4; ++k) now.ambient[k] = arg(call, size_t(1 + k));
}

void callReader::perspective(const glCall& call) {
    if (recording)
        for (int k = 0; k < 4; ++k) now.perspective[k] = call.args[size_t(k)];
}

void callReader::character(const glCall& call) {
    if (recording) now.text += char(int(call.args[1]));
}

callReader reader;
} // namespace

// The overlay's characters, recorded beside the OpenGL calls; the stand-in for
// GLUT (offscreen/glut_standin) draws them.
extern "C" void __real_glutBitmapCharacter(void* font, int c);
extern "C" void __wrap_glutBitmapCharacter(void* font, int c) {
    recordCall("glutBitmapCharacter", {0, double(c)});
    __real_glutBitmapCharacter(font, c);
}

namespace {
// The frame the window draws at animation time t, as it issues it.
frame frameAt(int32_t ms) {
    setFrameTick(ms);
    gProgramMode = kpmAnimating;
    startRecording();
    NextFrame();
    reader.read(stopRecording(), true);
    return reader.now;
}

// The first millisecond in (lo, hi] at which `shows` holds, knowing it does
// not at lo and does at hi.
template <typename Test> int32_t firstMillisecond(int32_t lo, int32_t hi, Test shows) {
    while (hi - lo > 1) {
        const int32_t mid = lo + (hi - lo) / 2;
        (shows(mid) ? hi : lo) = mid;
    }
    return hi;
}

// --- JSON -------------------------------------------------------------------------------

// Nine significant digits: every number here is a float or a quotient of them.
const int kDigits = 9;
template <typename T> std::string array(const T* v, size_t n) {
    std::string s = "[";
    for (size_t k = 0; k < n; ++k) s += (k ? "," : "") + jsonDouble(v[k], kDigits);
    return s + "]";
}
const char* modeName(GLenum m) {
    switch (m) {
    case GL_TRIANGLES: return "triangles";
    case GL_TRIANGLE_FAN: return "triangleFan";
    case GL_QUAD_STRIP: return "quadStrip";
    case GL_QUADS: return "quads";
    case GL_LINE_LOOP: return "lineLoop";
    case GL_POINTS: return "points";
    default: return "other";
    }
}

// The placement calls of one object, multiplied in software as OpenGL does:
// those before its spin (its second rotation about y: the local orientation
// the scene script sets from the time) and those after. Each matrix as
// sixteen numbers, column after column.
struct placement {
    matrix before, after;
};
placement placementOf(const std::vector<float>& t) {
    placement p;
    matrix* into = &p.before;
    int yTurns = 0;
    for (size_t k = 0; k + 4 < t.size(); k += 5) {
        matrix m;
        if (t[k] == 0) m.setTranslate(t[k + 1], t[k + 2], t[k + 3]);
        if (t[k] == 2) m.setScale(t[k + 1], t[k + 2], t[k + 3]);
        if (t[k] == 1) {
            if (t[k + 3] == 1 && ++yTurns == 2) {
                into = &p.after; // the spin itself is the page's to set
                continue;
            }
            if (t[k + 2] == 1) m.setRotateX(t[k + 1]);
            if (t[k + 3] == 1) m.setRotateY(t[k + 1]);
            if (t[k + 4] == 1) m.setRotateZ(t[k + 1]);
        }
        *into = *into * m;
    }
    return p;
}
std::string columns(matrix& m) {
    std::string s = "[";
    for (int c = 0; c < 4; ++c) {
        vec axis;
        axis.set(c == 0, c == 1, c == 2, c == 3);
        const vec column = m * axis;
        for (int r = 0; r < 4; ++r) s += (c || r ? "," : "") + jsonDouble(column.data[r], kDigits);
    }
    return s + "]";
}

// The figure's primitives are left out: the page draws the figure from the
// mathematics, for any four values.
std::string objectJson(const drawnObject& o, const char* role, unsigned polygons) {
    const bool figure = std::string(role) == "figure";
    static const std::vector<primitive> none;
    const std::vector<primitive>& prims = figure   ? none
                                          : o.list ? reader.lists[o.list]
                                                   : o.primitives;
    placement p = placementOf(o.transforms);
    std::string s =
        "{\"role\":" + jsonString(role) + ",\"polygons\":" + std::to_string(polygons) +
        ",\"diffuse\":" + array(o.diffuse, 4) + ",\"specular\":" + array(o.specular, 4) +
        ",\"shininess\":" + jsonDouble(o.shininess, kDigits) + ",\"pointSize\":" +
        jsonDouble(o.list && reader.listPointSizes.count(o.list) ? reader.listPointSizes[o.list]
                                                                 : 1,
                   kDigits) +
        ",\"beforeSpin\":" + columns(p.before) + ",\"afterSpin\":" + columns(p.after) +
        ",\"primitives\":[";
    for (size_t k = 0; k < prims.size(); ++k)
        s += std::string(k ? "," : "") + "{\"mode\":" + jsonString(modeName(prims[k].mode)) +
             ",\"position\":" + array(prims[k].position.data(), prims[k].position.size()) +
             ",\"normal\":" + array(prims[k].normal.data(), prims[k].normal.size()) + "}";
    return s + "]}";
}

// The program's start as the window makes it (no sound), then key a; the
// display lists it compiles are read.
void startScene() {
    sounds = 0;
    setFrameTick(0);
    startRecording();
    ConstructScene();
    InitScene();
    ResizeWindow(kWidth, kHeight);
    KeyPress('a', 0, 0);
    reader.read(stopRecording(), false);
}

// The spin of a frame: the second rotation about y of its first object's placement.
double spinOf(const frame& f) {
    int yTurns = 0;
    const std::vector<float>& t = f.objects.front().transforms;
    for (size_t k = 0; k + 4 < t.size(); k += 5)
        if (t[k] == 1 && t[k + 3] == 1 && ++yTurns == 2) return double(t[k + 1]);
    return double(NAN);
}

// The animation as its frames show it, from the frame at time 0 on.
struct animationFacts {
    double spinDegreesPerSecond;
    int32_t captionFrom; // the first millisecond with the caption...
    std::string caption; // ...and its text
    int32_t finish;      // the first millisecond at which it is finished
};

animationFacts readAnimation(const frame& start) {
    animationFacts facts;
    facts.spinDegreesPerSecond = spinOf(frameAt(1000)) - spinOf(start);
    const int32_t end = int32_t(kAnimationSeconds * 1000) * 2; // far past the end: finished
    facts.captionFrom =
        firstMillisecond(0, end, [](int32_t ms) { return !frameAt(ms).text.empty(); });
    facts.caption = frameAt(facts.captionFrom).text;
    facts.finish = firstMillisecond(0, end, [](int32_t ms) {
        frameAt(ms);
        return gProgramMode == kpmFinished;
    });
    return facts;
}

// The projection and the lights of a frame, as JSON members.
std::string viewJson(const frame& start) {
    std::string out = "\"perspective\":{\"fovy\":" + jsonDouble(start.perspective[0], kDigits) +
                      ",\"near\":" + jsonDouble(start.perspective[2], kDigits) +
                      ",\"far\":" + jsonDouble(start.perspective[3], kDigits) + "}";
    out += ",\"ambient\":" + array(start.ambient, 4) + ",\"lights\":[";
    for (size_t k = 0; k < start.lights.size(); ++k)
        out += std::string(k ? "," : "") + "{\"position\":" + array(start.lights[k].position, 4) +
               ",\"diffuse\":" + array(start.lights[k].diffuse, 4) +
               ",\"specular\":" + array(start.lights[k].specular, 4) + "}";
    return out + "]";
}

// The objects a frame drew, and the filled pentagons' fans, as JSON members.
std::string objectsJson(const frame& start) {
    std::string out = "\"objects\":[";
    for (size_t k = 0; k < start.objects.size(); ++k) {
        const drawnObject& o = start.objects[k];
        const bool figure = o.list && o.list == tholix1->getListName();
        object3D* shape = figure ? tholix1 : o.list ? sph1 : cyl1;
        const char* role = figure ? "figure" : o.list ? "sphere" : "cylinder";
        out += std::string(k ? "," : "") + objectJson(o, role, shape->getFaceCount());
    }
    out += "],\"pentagonFans\":[";
    tholix* figure = static_cast<tholix*>(tholix1);
    for (int f = 0; f < figure->getFaceCount(); ++f)
        for (int c = 0; c < 3; ++c)
            out += std::string(f || c ? "," : "") +
                   std::to_string(figure->getFaces()[f].vert[c] - figure->cnt);
    return out + "]";
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: geodesics-scene OUTPUT.json\n");
        return 2;
    }
    offscreenContext context;
    std::string problem = context.open();
    if (problem.empty()) problem = context.makeFramebuffer(kWidth, kHeight, 0);
    if (!problem.empty()) {
        std::fprintf(stderr, "geodesics-scene: %s\n", problem.c_str());
        return 1;
    }
    startScene();
    const frame start = frameAt(0);
    const animationFacts animation = readAnimation(start);

    const std::string out =
        "{" + viewJson(start) + "," + objectsJson(start) +
        ",\"spinDegreesPerSecond\":" + jsonDouble(animation.spinDegreesPerSecond, kDigits) +
        ",\"captionFrom\":" + jsonDouble(animation.captionFrom / 1000.0, kDigits) +
        ",\"caption\":" + jsonString(animation.caption) +
        ",\"duration\":" + jsonDouble(animation.finish / 1000.0, kDigits) + "}\n";
    std::FILE* file = std::fopen(argv[1], "w");
    if (!file || std::fputs(out.c_str(), file) < 0 || std::fclose(file) != 0) {
        std::fprintf(stderr, "geodesics-scene: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
