// The page's own files, fetched beside its scripts. A page with a file
// missing or damaged says so in its own words, naming the file from the
// site's folder, and that it needs them all (a half-copied folder is the
// usual cause).

export const kNeedsAllFiles = 'The page needs all of its files, as built: serve or copy its whole folder.';

// The file at `url` (inside the site): { name, bytes }, or an Error saying
// which file and what is wrong with it.
export async function fetchSiteFile(url) {
  const name = url.href.slice(new URL('..', import.meta.url).href.length);
  let response;
  try {
    response = await fetch(url);
  } catch {
    throw new Error(`${name} could not be loaded (no answer from the server)`);
  }
  const answered = `the server answered ${response.status}`;
  if (response.status === 404 || response.status === 410) throw new Error(`${name} is missing (${answered})`);
  if (!response.ok) throw new Error(`${name} could not be loaded (${answered})`);
  try {
    return { name, bytes: await response.arrayBuffer() };
  } catch {
    throw new Error(`${name} could not be loaded whole (the connection broke)`);
  }
}
