# The OpenGL, GLU and GLUT calls the recorder wraps; each has a wrapper in
# tests/harness/gl_recorder.cpp. tests/wrap_list_test.sh fails when the system
# calls one that is missing here.
set(GEODESICS_WRAPPED_CALLS
  glBegin glEnd glVertex3fv glVertex3f glNormal3fv glNormal3f
  glMaterialfv glMaterialf glTranslatef glRotatef glScalef
  glLoadIdentity glMatrixMode glPushMatrix glPopMatrix glPushAttrib glPopAttrib
  glCallList glNewList glEndList glGenLists glPointSize glLineWidth
  glEnable glDisable glLightfv glLightModelfv glPolygonMode glClearColor glClear
  glDepthMask glAlphaFunc glGetError glBlendFunc glOrtho glColor3f glRasterPos2i glViewport
  gluPerspective gluLookAt gluErrorString
  glutBitmapCharacter glutSwapBuffers glutIdleFunc glutPostRedisplay glutFullScreen)
