// Times the page's proof in headless Chromium next to the command line, for the README:
//   node measure.mjs [runs]
// For each touch: the command line's whole run (the median of the runs); in the page, the time
// from handing the touch to the worker to showing the answer, and the part of it spent in the
// core module, each the median of the runs, the touch proved again by typing a blank after it.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { launchChromium } from './tests/browser.mjs';
import { program, root } from './tests/common.mjs';
import { serve } from './tests/server.mjs';
import { pageFolder } from './tests/common.mjs';

const runs = Number(process.argv[2] ?? 5);
const touches = [
  'examples/stedman-triples-5040-johnson-10part.touch',
  'bench/touches/sixteen-10m.touch',
];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve(pageFolder);
const browser = await launchChromium();
console.log('| Touch | Command line | Page: answer shown | Page: in the core module | Page: first proof, module starting |');
console.log('|---|---:|---:|---:|---:|');
for (const touch of touches) {
  const file = path.join(root, touch);
  // Timed by bash's own time, which counts the program's run and not the start of a shell.
  const timed = spawnSync(
    'bash',
    ['-c', `TIMEFORMAT=%R; for k in $(seq ${runs}); do time "$0" "$1" > /dev/null; done`, program, file],
    { encoding: 'utf8' },
  );
  const native = timed.stderr.trim().split('\n').map((line) => Number(line) * 1000);
  const page = await browser.newPage();
  const text = fs.readFileSync(file, 'utf8');
  await page.goto(`${server.url}#touch=${encodeURIComponent(text)}`);
  const idle = () =>
    page.waitForFunction(() => document.body.dataset.state === 'idle', null, { timeout: 300000 });
  await idle();
  const first = Number(await page.evaluate(() => document.body.dataset.proofMilliseconds));
  const shown = [];
  const core = [];
  await page.getByRole('textbox', { name: 'Touch' }).click();
  for (let k = 0; k < runs; k++) {
    await page.keyboard.press('Control+End');
    await page.keyboard.type(' ');
    await page.waitForFunction(() => document.body.dataset.state !== 'idle');
    await idle();
    shown.push(Number(await page.evaluate(() => document.body.dataset.proofMilliseconds)));
    core.push(Number(await page.evaluate(() => document.body.dataset.coreMilliseconds)));
  }
  await page.close();
  const ms = (value) => `${Math.round(value)} ms`;
  console.log(`| ${touch} | ${ms(median(native))} | ${ms(median(shown))} | ${ms(median(core))} | ${ms(first)} |`);
}
await browser.close();
await server.close();
