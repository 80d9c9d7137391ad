// The animation's clock and modes, as the window program keeps them
// (basicsource/main.cpp): at start nothing moves; `a` starts the 150-second
// animation from 0 (or restarts it); `p` pauses and resumes it; at 150 s it
// has finished and the last frame stays. Seconds; `now` gives milliseconds.
import { kFlightSeconds } from './view_state.js';

export class FlightClock {
  constructor(now = () => performance.now()) {
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

  // The animation time; reaching 150 s finishes the animation there.
  time() {
    if (this.state !== 'animating') return this.base;
    const t = this.base + (this.now() - this.since) / 1000;
    if (t < kFlightSeconds) return t;
    this.state = 'finished';
    this.base = kFlightSeconds;
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

  // The state a link describes: at start for 0, finished at 150, else paused at t.
  restore(t) {
    this.base = t;
    this.state = t <= 0 ? 'atStart' : t >= kFlightSeconds ? 'finished' : 'paused';
  }
}
