// Text into the page's elements, one way for every panel: an element's text
// is rewritten only when it changed (a rewrite costs the browser a new layout
// of what holds it), and a message can be a note (said quietly) rather than
// a problem.

export function put(element, text) {
  if (element.textContent !== text) element.textContent = text;
}

// A message: a problem in the error colour, or a `note` in the muted one.
export function say(element, text, note = false) {
  put(element, text);
  element.classList.toggle('note', note);
}
