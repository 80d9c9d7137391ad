#!/usr/bin/env bash
# The call recorder sees only the GL and GLU functions listed in
# recorder/wrapped_calls.cmake and the GLUT functions listed in
# tests/CMakeLists.txt: one the system starts to call without a wrapper
# would slip past every call-order test. Fails naming each such function.
# Also holds the shared mathematics and documents to what they promise every
# front end: no OpenGL, GLU, GLUT or EGL, neither included nor called.
set -euo pipefail

lists=("$SOURCE_DIR/recorder/wrapped_calls.cmake" "$SOURCE_DIR/tests/CMakeLists.txt")
wrapped=$(sed -e 's/#.*//' "${lists[@]}" | tr -s ' ()\n' '\n' | grep -E '^glu?t?[A-Z][A-Za-z0-9]*$' | sort -u)

# The display-free libraries, the mathematics and the documents written from
# it, neither call nor include a graphics library.
for library in mathematics/libgeodesics_math.a documents/libgeodesics_documents.a; do
    [ -f "$BUILD_DIR/$library" ] || { echo "FAIL: $BUILD_DIR/$library is missing" >&2; exit 1; }
    if nm -u --format=just-symbols "$BUILD_DIR/$library" | grep -E '^(glu?t?|egl)[A-Z]'; then
        echo "FAIL: $library calls the graphics functions above" >&2
        exit 1
    fi
    folder=$(dirname "$library")
    if grep -n -E '#include *[<"](GL|EGL|GLES[0-9]*)/' "$SOURCE_DIR/$folder"/*.h "$SOURCE_DIR/$folder"/*.cpp; then
        echo "FAIL: $folder/ includes the graphics headers above" >&2
        exit 1
    fi
done

# Undefined references of the system's libraries; the font objects GLUT
# exports as data (glutBitmap8By13 and its kind) are not calls.

called=$(nm -u --format=just-symbols "$BUILD_DIR/libgeodesics_core.a" |
    grep -E '^glu?t?[A-Z][A-Za-z0-9]*$' |
    grep -v -E '^glut(Stroke(Mono)?Roman|Bitmap([0-9]+By[0-9]+|TimesRoman[0-9]+|Helvetica[0-9]+))$' |
    sort -u)
[ -n "$called" ] || { echo "FAIL: no GL calls found in the libraries (wrong BUILD_DIR?)" >&2; exit 1; }

missing=$(comm -23 <(echo "$called") <(echo "$wrapped"))
if [ -n "$missing" ]; then
    for fn in $missing; do
        echo "FAIL: the system calls $fn, which the test recorder does not wrap:" \
            "add it to recorder/wrapped_calls.cmake with a wrapper in" \
            "recorder/gl_recorder.cpp (GLUT: tests/CMakeLists.txt and" \
            "tests/harness/glut_recorder.cpp)" >&2
    done
    exit 1
fi
echo "all $(echo "$called" | wc -l) GL, GLU and GLUT calls of the system are recorded"
