// The core module the page runs, in node: for every example and golden input, byte for byte as
// the command line reads it (also those the browser tests cannot type), the module writes what
// the command line writes. One module serves every run, as in the page.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { test } from 'node:test';
import { commandLine, coreModule, pageError, pageMaxChanges, touchFiles } from './common.mjs';

const createSixesCore = createRequire(import.meta.url)(coreModule);
const core = await createSixesCore();

function copyIn(bytes) {
  const address = core._malloc(bytes.length + 1);
  core.HEAPU8.set(bytes, address);
  return address;
}

function runPage(bytes, args = []) {
  const argumentBytes = Buffer.from(args.map((a) => `${a}\0`).join(''));
  const touchAddress = copyIn(bytes);
  const argumentsAddress = copyIn(argumentBytes);
  const run = core._RunPage(argumentsAddress, argumentBytes.length, touchAddress, bytes.length);
  const text = (which) => {
    const address = core._PageRunText(run, which);
    return Buffer.from(core.HEAPU8.slice(address, address + core._PageRunSize(run, which)));
  };
  const answer = { stdout: text(0), stderr: text(1), status: core._PageRunStatus(run) };
  core._FreePageRun(run);
  core._free(touchAddress);
  core._free(argumentsAddress);
  return answer;
}

test('the module writes what the command line writes for every example and golden input', async (t) => {
  for (const file of touchFiles().files) {
    await t.test(path.relative(path.join(coreModule, '..', '..'), file), () => {
      const bytes = fs.readFileSync(file);
      const expected = commandLine(bytes);
      const page = runPage(bytes);
      assert.equal(page.stdout.toString('latin1'), expected.stdout.toString('latin1'));
      assert.equal(page.stderr.toString('latin1'), pageError(expected.stderr.toString('latin1')));
      assert.equal(page.status, expected.status);
    });
  }
});

test('the module names the bound of changes that the tests expect', () => {
  assert.equal(core._PageMaxChanges(), pageMaxChanges);
});

test('options of the command line reach the module', () => {
  for (const args of [['--version'], ['--help'], ['-x'], ['touch.txt']]) {
    const expected = commandLine(Buffer.from('#7 (14)'), args);
    const page = runPage(Buffer.from('#7 (14)'), args);
    assert.equal(page.stdout.toString(), expected.stdout.toString(), args.join(' '));
    if (args[0] !== 'touch.txt') {
      assert.equal(page.stderr.toString(), expected.stderr.toString(), args.join(' '));
    }
    assert.equal(page.status, expected.status, args.join(' '));
  }
});
