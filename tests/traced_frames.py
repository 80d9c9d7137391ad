"""The window program's first frames as apitrace dumps them (tests/program_test.sh
traces the real program under X): the two display lists compiled once, before
anything is drawn, and each frame's calls in the order the program makes them.
Usage: traced_frames.py DUMP (apitrace dump --call-nos=no output)."""

import re
import sys


def fail(msg):
    print("trace:", msg)
    sys.exit(1)


def compiled_lists(lines):
    """The two display lists (sphere, figure), compiled before anything is drawn."""
    pattern = re.compile(r"glNewList\(list = (\d+), mode = GL_COMPILE\)")
    lists = [int(m.group(1)) for m in map(pattern.match, lines) if m]
    if len(lists) != 2:
        fail("%d lists compiled, not 2" % len(lists))
    first_swap = next(i for i, l in enumerate(lines) if l.startswith("glXSwapBuffers"))
    if max(i for i, l in enumerate(lines) if l.startswith("glEndList")) > first_swap:
        fail("a list compiled after the first frame")
    return lists


def split_frames(lines):
    """The frames, each ending at its swap; the first from the last list on."""
    frames, current = [], []
    for l in lines:
        current.append(l)
        if l.startswith("glXSwapBuffers"):
            frames.append(current)
            current = []
    frames[0] = frames[0][max(i for i, l in enumerate(frames[0]) if l.startswith("glEndList")) + 1:]
    if len(frames) < 2:
        fail("%d frames, expected the start frame and the redraw after 't'" % len(frames))
    return frames


def frame_order(lists):
    """One frame's calls, in order (other calls may come between). gluPerspective
    and gluLookAt show as the matrix calls they make: the perspective's matrix
    carries the near plane 0.1 in single precision (-2*500*n/(500-n) with
    n = 0.10000000149 gives -0.2000400109830)."""
    return [
        r"glEnable\(cap = GL_DEPTH_TEST\)",
        r"glEnable\(cap = GL_CULL_FACE\)",
        r"glPolygonMode\(face = GL_FRONT, mode = GL_FILL\)",
        r"glPolygonMode\(face = GL_BACK, mode = GL_FILL\)",
        r"glClearColor\(red = 0, green = 0, blue = 0, alpha = 1\)",
        r"glClear\(mask = GL_DEPTH_BUFFER_BIT \| GL_COLOR_BUFFER_BIT\)",
        r"glMatrixMode\(mode = GL_PROJECTION\)",
        r"glLoadIdentity\(\)",
        r"glMultMatrixd\(m = \{1\.93137\d*, 0, 0, 0, 0, 2\.41421\d*, 0, 0, 0, 0, -1\.0004\d*, -1,"
        r" 0, 0, -0\.20004001098\d*, 0\}\)",
        r"glTranslated\(x = -?0, y = -?0, z = -3\)",
        r"glMatrixMode\(mode = GL_MODELVIEW\)",
        r"glEnable\(cap = GL_LIGHTING\)",
        r"glEnable\(cap = GL_NORMALIZE\)",
        r"glLightModelfv\(pname = GL_LIGHT_MODEL_AMBIENT, params = \{0\.5, 0\.5, 0\.5, 1\}\)",
        r"glEnable\(cap = GL_LIGHT0\)",
        r"glEnable\(cap = GL_LIGHT1\)",
        r"glEnable\(cap = GL_LIGHT2\)",
        r"glEnable\(cap = GL_LIGHT3\)",
        r"glDisable\(cap = GL_LIGHT4\)",
        r"glCallList\(list = %d\)" % lists[0],
        r"glCallList\(list = %d\)" % lists[1],
        r"glDepthMask\(flag = GL_FALSE\)",
        r"glAlphaFunc\(func = GL_GREATER, ref = 0\.1\)",
        r"glEnable\(cap = GL_ALPHA_TEST\)",
        r"glEnable\(cap = GL_BLEND\)",
        r"glBlendFunc\(sfactor = GL_SRC_ALPHA, dfactor = GL_ONE_MINUS_SRC_ALPHA\)",
    ] + [r"glBegin\(mode = GL_QUAD_STRIP\)"] * 4 + [
        r"glDepthMask\(flag = GL_TRUE\)",
        r"glDisable\(cap = GL_BLEND\)",
        r"glXSwapBuffers\(",
    ]


def check_frames(frames, order):
    """Each frame's calls in `order`; each list called once, the wheel's four
    strips in immediate mode, nothing compiled."""
    for n, frame in enumerate(frames):
        at = 0
        for pattern in order:
            while at < len(frame) and not re.match(pattern, frame[at]):
                at += 1
            if at == len(frame):
                fail("frame %d: %s not found in order" % (n + 1, pattern))
            at += 1
        calls = [l.split("(")[0] for l in frame]
        if calls.count("glCallList") != 2:
            fail("frame %d: %d list calls" % (n + 1, calls.count("glCallList")))
        if sum(1 for l in frame if l.startswith("glBegin(mode = GL_QUAD_STRIP)")) != 4:
            fail("frame %d: not four quad strips" % (n + 1))
        if "glNewList" in calls:
            fail("frame %d compiles a list" % (n + 1))


def check_text(frames):
    """Text only in the last frame, the one after 't' (the window may have been
    exposed more than once before): the statistics and rate lines, one bitmap
    per character ("Frame: 0, Polygons: 1392, Time: x.y", "Swaps/Sec: 0.0")."""
    bitmaps = [sum(1 for l in f if l.startswith("glBitmap(")) for f in frames]
    if bitmaps[0] != 0 or bitmaps[-1] < 35 + 14:
        fail("text bitmaps per frame: %s" % bitmaps)


def main(path):
    lines = open(path).read().splitlines()
    lists = compiled_lists(lines)
    frames = split_frames(lines)
    check_frames(frames, frame_order(lists))
    check_text(frames)
    print("trace: %d lists, %d frames checked" % (len(lists), len(frames)))


if __name__ == "__main__":
    main(sys.argv[1])
