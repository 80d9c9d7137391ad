// The panel's list of the points where the ten great circles meet and the
// arcs between them, as Mathematics.intersections gives them: a summary, the
// ten circles as toggle buttons, the points as a table whose first cell is a
// toggle button (Tab reaches the table once; the arrow keys, Home and End move
// among its rows; Enter or Space chooses), and what is chosen, a point or a
// circle, with its coordinates, arcs and lengths. Nothing is computed here:
// every number is the mathematics', written out; null is written "none".
// Circles are named p.i (pentagon p's edge i), corners p.i too.
import { put } from './page_text.js';

const kCoordinateDigits = 3; // in the table of points
const kDigits = 9; // in what is chosen, as geodesic-report --intersections writes them

// A number as the panel writes it: "none" where the geometry has no value,
// and never "-0.000".
function fixed(value, digits) {
  if (value === null || !Number.isFinite(value)) return 'none';
  const text = value.toFixed(digits);
  return /^-0\.?0*$/.test(text) ? text.slice(1) : text;
}

function triple(p, digits) {
  return p ? p.map((v) => fixed(v, digits)).join(', ') : 'none';
}

function element(tag, properties = {}, ...children) {
  const e = document.createElement(tag);
  for (const [key, value] of Object.entries(properties))
    if (key in e && !key.includes('-')) e[key] = value;
    else e.setAttribute(key, value);
  e.append(...children);
  return e;
}

const fromTo = (arc) => `${arc.from} → ${arc.to}`;
const cornerLabel = (k) => `${Math.floor(k / 5) + 1}.${k % 5}`;
const pentagonOf = (c) => Math.floor(c / 5) + 1;

// "a", "a and b", "a, b and c"
function listed(words) {
  return words.length < 2 ? words.join('') : `${words.slice(0, -1).join(', ')} and ${words.at(-1)}`;
}

// What kind of point it is: "corner 1.1", "on the equator", both, or ''.
function kindOf(point) {
  const kinds = point.corners.map((k) => `corner ${cornerLabel(k)}`);
  if (point.equatorCrossing) kinds.push('on the equator');
  return kinds.join(', ');
}

// A table in a frame that scrolls, which the keyboard can reach to scroll it;
// a row is a list of cells, each a string or [string, columns it spans]; the
// first cell of a foot row heads it.
function table(caption, headings, rows, foot = []) {
  const row = (cells, head) =>
    element(
      'tr',
      {},
      ...cells.map((c, k) => {
        const [text, span] = Array.isArray(c) ? c : [c, 1];
        return head && k === 0
          ? element('th', { scope: 'row', colSpan: span }, text)
          : element('td', { colSpan: span }, text);
      }),
    );
  return element(
    'div',
    { class: 'table-frame', id: 'chosen-arcs', tabIndex: 0, role: 'region', 'aria-label': caption },
    element(
      'table',
      {},
      element('caption', {}, caption),
      element('thead', {}, element('tr', {}, ...headings.map((h) => element('th', { scope: 'col' }, h)))),
      element('tbody', {}, ...rows.map((r) => row(r, false))),
      ...(foot.length ? [element('tfoot', {}, ...foot.map((r) => row(r, true)))] : []),
    ),
  );
}

export class IntersectionsPanel {
  // `parts`: the section's elements by role (section, summary, circles (the
  // buttons' group), pointsFrame (the table's scrolling box), points (the
  // table's body), chosen, status); `choose(choice)` is called
  // with { kind, index } or null when the user chooses.
  constructor(parts, choose) {
    this.parts = parts;
    this.choose = choose;
    this.data = null;
    this.choice = null;
    this.focusRow = 0; // the row Tab enters the table at

    parts.points.addEventListener('click', (event) => {
      const row = event.target.closest('tr');
      if (row && !event.target.closest('button')) row.querySelector('button').click();
    });
    parts.points.addEventListener('keydown', (event) => this.onTableKey(event));
  }

  // Shows the intersections of the current values (null: the section is
  // hidden). The rows and buttons are kept and rewritten where they changed,
  // so that a slider's drag does not rebuild the table at every step.
  show(data) {
    this.data = data;
    this.parts.section.hidden = data === null;
    if (!data) return;
    put(this.parts.summary, this.summary());
    const buttons = this.parts.circles;
    if (buttons.children.length === 0)
      buttons.append(
        ...data.circles.map((c) => {
          const button = element(
            'button',
            { type: 'button', id: `circle-${c.circle}`, 'aria-label': `Circle ${c.label}`, 'aria-pressed': 'false' },
            c.label,
          );
          button.addEventListener('click', () => this.toggle({ kind: 'circle', index: c.circle }));
          return button;
        }),
      );
    data.circles.forEach((c, k) => {
      const button = buttons.children[k];
      button.disabled = !c.live;
      button.title = c.live
        ? `Pentagon ${pentagonOf(c.circle)}'s edge ${c.circle % 5}`
        : `Pentagon ${pentagonOf(c.circle)} is at a pole: no plane`;
    });

    const rows = this.parts.points;
    while (rows.children.length > data.points.length) rows.lastChild.remove();
    while (rows.children.length < data.points.length) rows.append(this.newRow(rows.children.length));
    this.moveFocusRow(Math.min(this.focusRow, Math.max(data.points.length - 1, 0)));
    data.points.forEach((p, k) => {
      const cells = rows.children[k].cells;
      const circles = p.circles.map((c) => data.circles[c].label);
      const kind = kindOf(p);
      const label = `Point ${k}: circles ${listed(circles)}${kind ? `; ${kind}` : ''}`;
      if (cells[0].firstChild.getAttribute('aria-label') !== label)
        cells[0].firstChild.setAttribute('aria-label', label);
      put(cells[1], circles.join(', '));
      put(cells[2], triple(p.sphere, kCoordinateDigits));
      put(cells[3], triple(p.cylinder, kCoordinateDigits));
      put(cells[4], kind);
    });
    this.parts.pointsFrame.hidden = data.points.length === 0;
  }

  newRow(k) {
    const button = element(
      'button',
      { type: 'button', id: `point-${k}`, tabIndex: -1, 'aria-pressed': 'false' },
      String(k),
    );
    button.addEventListener('click', () => this.toggle({ kind: 'point', index: k }));
    button.addEventListener('focus', () => this.moveFocusRow(k));
    return element('tr', {}, element('td', {}, button), element('td'), element('td'), element('td'), element('td'));
  }

  summary() {
    const { points, arcs, circles } = this.data;
    const lines = [];
    lines.push(
      points.length === 0
        ? 'No two circles cross: there are no points and no arcs.'
        : `${points.length} points where the circles meet, ${arcs.length} arcs between them.`,
    );
    for (const p of [1, 2])
      if (!circles[5 * p - 5].live)
        lines.push(`Pentagon ${p} is at a pole: its circles ${p}.0 to ${p}.4 have no plane.`);
    const groups = new Map();
    for (const c of circles) if (c.live) groups.set(c.sameAs, [...(groups.get(c.sameAs) ?? []), c.label]);
    for (const labels of groups.values())
      if (labels.length > 1) lines.push(`Circles ${listed(labels)} are one great circle.`);
    return lines.join(' ');
  }

  // The choice as the page holds it ({ kind, index } or null), with a line
  // for the status (why a choice was dropped, say).
  setChoice(choice, note = '') {
    const changed = choice?.kind !== this.choice?.kind || choice?.index !== this.choice?.index;
    this.choice = choice;
    const data = this.data;
    if (!data) return;
    const buttons = {
      circle: [...this.parts.circles.children],
      point: [...this.parts.points.querySelectorAll('button')],
    };
    for (const [kind, list] of Object.entries(buttons))
      list.forEach((button, k) => {
        const pressed = String(choice?.kind === kind && choice.index === k);
        if (button.getAttribute('aria-pressed') !== pressed) button.setAttribute('aria-pressed', pressed);
      });
    if (choice?.kind === 'point' && changed) {
      this.moveFocusRow(choice.index);
      this.scrollToRow(choice.index);
    }
    const described =
      choice === null
        ? [this.nothingChosen()]
        : choice.kind === 'point'
          ? this.describePoint(choice.index)
          : this.describeCircle(choice.index);
    this.parts.chosen.replaceChildren(...described);
    put(this.parts.status, [note, this.status()].filter(Boolean).join(' '));
  }

  status() {
    const { choice, data } = this;
    if (!choice) return 'Nothing is chosen.';
    if (choice.kind === 'circle')
      return `Circle ${data.circles[choice.index].label} is chosen: ${data.circles[choice.index].arcs.length} arcs.`;
    const circles = data.points[choice.index].circles.map((c) => data.circles[c].label);
    return `Point ${choice.index} is chosen: circles ${listed(circles)}.`;
  }

  nothingChosen() {
    return element(
      'p',
      { class: 'hint' },
      'Click or tap a point or a circle in the figure, or choose a circle or a point below, to see its coordinates and lengths.',
    );
  }

  describePoint(k) {
    const { points, arcs, circles } = this.data;
    const p = points[k];
    const labels = p.circles.map((c) => circles[c].label);
    const kind = kindOf(p);
    const lengths = (a) => [fixed(a.angle, kDigits), fixed(a.chord, kDigits), fixed(a.cylinderLength, kDigits)];
    const vertical = p.circles.filter((c) => circles[c].vertical).map((c) => circles[c].label);
    return [
      element('h3', {}, `Point ${k}`),
      element('p', {}, `Where circles ${listed(labels)} meet${kind ? `: ${kind}` : ''}.`),
      element(
        'dl',
        {},
        element('dt', {}, 'On the sphere (x, y, z)'),
        element('dd', {}, triple(p.sphere, kDigits)),
        element('dt', {}, 'Longitude, polar angle'),
        element('dd', {}, `${fixed(p.longitude, kDigits)}, ${fixed(p.polarAngle, kDigits)} radians`),
        element('dt', {}, 'On the cylinder (x, y, z)'),
        element(
          'dd',
          {},
          p.cylinder
            ? triple(p.cylinder, kDigits)
            : 'none: the point is at a pole, and no ray from the centre through it meets the cylinder',
        ),
      ),
      table(
        `The arcs that meet at point ${k}: ${p.arcs.length}`,
        ['Arc', 'Circle', 'From → to', 'Angle', 'Chord', 'On the cylinder'],
        p.arcs.map((a) => [String(a), circles[arcs[a].circle].label, fromTo(arcs[a]), ...lengths(arcs[a])]),
      ),
      ...(vertical.length
        ? [
            element(
              'p',
              { class: 'hint' },
              `The plane of ${listed(vertical)} is vertical: ` +
                'its curve on the cylinder runs off to infinity, so its arcs have no length there.',
            ),
          ]
        : []),
    ];
  }

  describeCircle(c) {
    const { arcs, circles } = this.data;
    const circle = circles[c];
    const edge = c % 5;
    const same = circles.filter((o) => o.circle !== c && o.live && o.sameAs === circle.sameAs).map((o) => o.label);
    const described = [
      element('h3', {}, `Circle ${circle.label}`),
      element(
        'p',
        {},
        `Pentagon ${pentagonOf(c)}'s edge ${edge}, walked from corner ${circle.label} towards corner ` +
          `${pentagonOf(c)}.${(edge + 1) % 5}: ${circle.points.length} points.` +
          (same.length ? ` The same great circle as ${listed(same)}.` : ''),
      ),
    ];
    if (circle.vertical)
      described.push(
        element(
          'p',
          { class: 'hint' },
          'Its plane is vertical: its curve on the cylinder runs off to infinity, so its arcs have no length there.',
        ),
      );
    const whole = [['The whole curve on the cylinder', 4], fixed(circle.cylinderCurve, kDigits)];
    if (circle.arcs.length === 0) {
      described.push(
        element(
          'p',
          {},
          `No other circle crosses it: no points, no arcs. The whole curve on the cylinder: ${fixed(circle.cylinderCurve, kDigits)}.`,
        ),
      );
      return described;
    }
    described.push(
      table(
        `Its ${circle.arcs.length} arcs in its direction of travel`,
        ['Arc', 'From → to', 'Angle', 'Chord', 'On the cylinder'],
        circle.arcs.map((a) => [
          String(a),
          fromTo(arcs[a]),
          fixed(arcs[a].angle, kDigits),
          fixed(arcs[a].chord, kDigits),
          fixed(arcs[a].cylinderLength, kDigits),
        ]),
        [
          [
            ['Total', 2],
            fixed(circle.angleSum, kDigits),
            fixed(circle.chordSum, kDigits),
            fixed(circle.cylinderSum, kDigits),
          ],
          whole,
        ],
      ),
    );
    return described;
  }

  // A second press on what is chosen chooses nothing, as a toggle button does.
  toggle(choice) {
    const same = this.choice?.kind === choice.kind && this.choice.index === choice.index;
    this.choose(same ? null : choice);
  }

  moveFocusRow(k) {
    const rows = this.parts.points.children;
    rows[this.focusRow]?.querySelector('button').setAttribute('tabindex', '-1');
    this.focusRow = k;
    rows[k]?.querySelector('button').setAttribute('tabindex', '0');
  }

  // Brings row k into the table's own scrolling box, leaving the panel where it is.
  scrollToRow(k) {
    const row = this.parts.points.children[k];
    const frame = this.parts.pointsFrame;
    if (!row || frame.hidden || this.parts.section.hidden) return;
    const [top, bottom] = [row.offsetTop, row.offsetTop + row.offsetHeight];
    const header = this.parts.points.parentElement.tHead.offsetHeight;
    if (top - header < frame.scrollTop) frame.scrollTop = top - header;
    else if (bottom > frame.scrollTop + frame.clientHeight) frame.scrollTop = bottom - frame.clientHeight;
  }

  onTableKey(event) {
    const rows = this.parts.points.children;
    const to = { ArrowDown: this.focusRow + 1, ArrowUp: this.focusRow - 1, Home: 0, End: rows.length - 1 }[event.key];
    if (to === undefined || rows.length === 0) return;
    event.preventDefault();
    const k = Math.min(Math.max(to, 0), rows.length - 1);
    this.moveFocusRow(k);
    rows[k].querySelector('button').focus();
    this.scrollToRow(k);
  }
}
