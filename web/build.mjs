// Builds the page into one folder that opens from disk or from any static host:
//   node build.mjs [--core ../build-web/sixes-core.js] [--out ../build-web/page]
// The worker (with the core module) and the touches of examples/ are bundled into app.js, so
// that the page reads no file of its own at run time beyond app.js and style.css.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.join(here, '..');

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at >= 0 ? path.resolve(process.argv[at + 1]) : fallback;
}
const corePath = option('--core', path.join(root, 'build-web', 'sixes-core.js'));
const outDir = option('--out', path.join(root, 'build-web', 'page'));

if (!fs.existsSync(corePath)) {
  console.error(`${corePath} is missing: build the core first with`);
  console.error('  emcmake cmake -S . -B build-web && cmake --build build-web -j2');
  process.exit(1);
}

const examples = fs
  .readdirSync(path.join(root, 'examples'))
  .filter((name) => name.endsWith('.touch'))
  .sort()
  .map((name) => ({
    name: name.replace(/\.touch$/, ''),
    text: fs.readFileSync(path.join(root, 'examples', name), 'utf8'),
  }));

const worker = await esbuild.build({
  entryPoints: [path.join(here, 'src', 'worker.js')],
  bundle: true,
  format: 'iife',
  minify: true,
  write: false,
  target: 'es2020',
});
const workerSource = `${fs.readFileSync(corePath, 'utf8')}\n${worker.outputFiles[0].text}`;

fs.rmSync(outDir, { recursive: true, force: true });
fs.mkdirSync(outDir, { recursive: true });
await esbuild.build({
  entryPoints: [path.join(here, 'src', 'main.js')],
  bundle: true,
  format: 'iife',
  minify: true,
  target: 'es2020',
  outfile: path.join(outDir, 'app.js'),
  define: {
    WORKER_SOURCE: JSON.stringify(workerSource),
    EXAMPLES: JSON.stringify(examples),
  },
});
for (const name of ['index.html', 'style.css', 'editor.css', 'favicon.svg']) {
  fs.copyFileSync(path.join(here, 'src', name), path.join(outDir, name));
}
console.log(`built ${path.relative(process.cwd(), outDir) || '.'}: ${fs.readdirSync(outDir).join(', ')}`);
