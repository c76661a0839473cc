// Starts Debian's Chromium headless for the tests and the scripts, never a browser of its own.
import { chromium } from 'playwright-core';
import { chromiumPath } from './common.mjs';

// The flags Chromium needs headless as root on a machine with no network of its own; playwright
// gives each launch a new empty profile.
const chromiumArgs = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export function launchChromium() {
  return chromium.launch({ executablePath: chromiumPath, args: chromiumArgs });
}
