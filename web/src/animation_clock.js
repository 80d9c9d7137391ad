// The animation's clock and modes, as the window program keeps them
// (basicsource/main.cpp): at start nothing moves; `a` starts the animation
// from 0 (or restarts it); `p` pauses and resumes it; at its end (`duration`
// seconds, the mathematics' animationSeconds) it has finished and the last
// frame stays. Seconds; `now` gives milliseconds.
export class AnimationClock {
  constructor(duration, now = () => performance.now()) {
    this.duration = duration;
    this.now = now;
    this.state = 'atStart';
    this.base = 0; // seconds counted before `since`
    this.since = 0; // when the clock last resumed (ms)
  }

  // 'atStart', 'animating', 'paused' or 'finished', as of now.
  get mode() {
    this.time();
    return this.state;
  }

  // The animation time; reaching the end finishes the animation there.
  time() {
    if (this.state !== 'animating') return this.base;
    const t = this.base + (this.now() - this.since) / 1000;
    if (t < this.duration) return t;
    this.state = 'finished';
    this.base = this.duration;
    return this.base;
  }

  start() {
    this.state = 'animating';
    this.base = 0;
    this.since = this.now();
  }

  // Pauses while animating, resumes while paused; does nothing otherwise.
  togglePause() {
    if (this.mode === 'animating') {
      this.base = this.time();
      this.state = 'paused';
    } else if (this.state === 'paused') {
      this.state = 'animating';
      this.since = this.now();
    }
  }

  // The state a link describes: at start for 0, finished at the end, else paused at t.
  restore(t) {
    this.base = t;
    this.state = t <= 0 ? 'atStart' : t >= this.duration ? 'finished' : 'paused';
  }
}
