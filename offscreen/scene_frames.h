// The program's own frames, drawn off screen: the scene built and started as
// the window starts it (no start sound, key a, then t for the statistics line
// and w for the wire frame), the figure rebuilt for other pentagons, and each
// frame drawn by the window's own idle tick at an animation time the renderer
// sets. Frames are numbered as the window numbers them when it draws one every
// 1/fps seconds from the press of a, the first at animation time 0.
#pragma once

struct sceneSettings {
    float pentagons[4]; // LAT1 LONG1 LAT2 LONG2, as mathematics/pentagon_args reads them
    bool stats = false; // key t: the statistics and frame-rate lines
    bool wire = false;  // key w: the wire frame
    int width = 720, height = 576;
    int fps = 30;
};

class sceneFrames {
  public:
    // Needs a current GL context with the frame's framebuffer bound; once per
    // process (the scene's objects live until it ends).
    explicit sceneFrames(const sceneSettings& settings);

    // Draws the frame at animation time t (0 to 150 s) as the window draws it
    // then, the statistics line included. Times must not decrease from call to
    // call. Returns false when no frame was drawn.
    bool drawAt(double t);

    static long frameNumber(double t, int fps); // the window's frame counter at t

  private:
    void drawNumbered(long number, double t);
    void primeFrameRate(long number);

    int fps_;
    bool stats_;
    long lastNumber_ = 0;
    bool drawn_ = false;
};
