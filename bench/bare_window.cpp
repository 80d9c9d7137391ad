// The floor for start-up time and memory: a bare GLUT window opened exactly as
// the program opens its window (same size, position and display string), which
// draws one cleared frame whenever asked, and nothing else. Ends on 'q'.
#include <GL/freeglut.h>

#include <cstdlib>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitWindowSize(720, 576);
    glutInitWindowPosition(100, 100);
    glutInitDisplayString("double rgb depth>=16");
    glutCreateWindow("Geodesics bare window");
    glutDisplayFunc([] {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
    });
    glutKeyboardFunc([](unsigned char key, int, int) {
        if (key == 'q') std::exit(0);
    });
    glutMainLoop();
    return 0;
}
