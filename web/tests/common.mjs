// What the browser tests share: where the built page, the core module and the command line are,
// the touches to compare, and what the command line writes for a touch.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
// Each may be given in the environment; by default the build folders of the README's commands.
export const pageFolder = path.resolve(process.env.SIXES_PAGE ?? path.join(root, 'build-web', 'page'));
export const coreModule = path.resolve(process.env.SIXES_CORE ?? path.join(root, 'build-web', 'sixes-core.js'));
export const program = path.resolve(process.env.SIXES ?? path.join(root, 'build', 'sixes'));
export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

// The most changes a touch may ring in the page (web/PageRun.h), below the command line's
// 100,000,000: a refusal names it.
export const pageMaxChanges = 40000000;

// What the page writes on standard error where the command line writes err: the same, but for
// the bound that a refusal names.
export function pageError(err) {
  return err.replace(
    / more than the 100000000 that can be proved$/m,
    ` more than the ${pageMaxChanges} that can be proved`,
  );
}

// Every example touch and every golden input that is run on its own, without arguments: the
// golden inputs with a NAME.args file name files or options of the command line, which the page
// does not take, and are left out.
export function touchFiles() {
  const files = [];
  for (const name of fs.readdirSync(path.join(root, 'examples')).sort()) {
    if (name.endsWith('.touch')) {
      files.push(path.join(root, 'examples', name));
    }
  }
  const golden = path.join(root, 'tests', 'golden');
  const leftOut = [];
  for (const name of fs.readdirSync(golden).sort()) {
    if (!name.endsWith('.in')) {
      continue;
    }
    const base = name.replace(/\.in$/, '');
    if (fs.existsSync(path.join(golden, `${base}.args`))) {
      leftOut.push(name);
    } else {
      files.push(path.join(golden, name));
    }
  }
  return { files, leftOut };
}

// What the command line writes for the touch on standard input.
export function commandLine(bytes, args = []) {
  const run = spawnSync(program, args, { input: bytes, maxBuffer: 1 << 30 });
  if (run.error) {
    throw run.error;
  }
  return { stdout: run.stdout, stderr: run.stderr, status: run.status };
}

// A file a person can type: text whose characters all have a key or are typed as text, with no
// tab (it moves the focus), carriage return (it is Enter) or other control character but line
// breaks. Answers the reason when it is not.
export function whyNotTypeable(bytes) {
  const text = bytes.toString('utf8');
  if (!Buffer.from(text, 'utf8').equals(bytes)) {
    return 'not UTF-8 text';
  }
  const control = /[\x00-\x09\x0b-\x1f\x7f]/.exec(text);
  return control ? `holds the control character ${control[0].charCodeAt(0)}` : null;
}
