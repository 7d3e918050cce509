// The two DOM helpers every pane uses.
export const $ = (id) => document.getElementById(id);

// A new `tag` element with an optional class and text.
export function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}
