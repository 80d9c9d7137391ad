# The OpenGL and GLU calls the recorder wraps, each with a wrapper in
# recorder/gl_recorder.cpp: every one the system calls (tests/wrap_list_test.sh
# fails when the system calls one missing here). The one list for every
# program that records: the tests and the web page's scene export.
set(GEODESICS_WRAPPED_GL_CALLS
  glBegin glEnd glVertex3fv glVertex3f glNormal3fv glNormal3f
  glMaterialfv glMaterialf glTranslatef glRotatef glScalef
  glLoadIdentity glMatrixMode glPushMatrix glPopMatrix glPushAttrib glPopAttrib
  glCallList glNewList glEndList glGenLists glPointSize glLineWidth
  glEnable glDisable glLightfv glLightModelfv glPolygonMode glClearColor glClear
  glDepthMask glAlphaFunc glGetError glBlendFunc glOrtho glColor3f glRasterPos2i glViewport
  gluPerspective gluLookAt gluErrorString)
list(TRANSFORM GEODESICS_WRAPPED_GL_CALLS PREPEND "-Wl,--wrap=" OUTPUT_VARIABLE GEODESICS_GL_WRAP_FLAGS)
