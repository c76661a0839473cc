// Takes the README's screenshot of the page with a false touch: node screenshot.mjs [file.png]
import path from 'node:path';
import { launchChromium } from './tests/browser.mjs';
import { pageFolder, root } from './tests/common.mjs';
import { serve } from './tests/server.mjs';

const output = path.resolve(process.argv[2] ?? path.join(root, 'docs', 'page-false-touch.png'));
const touch = '{ Singles at 13, 11, 11 and 13 of a course: false. }\n#7 "A false touch" <5 7 9 11 13> 13s 11s 11s 13s\n';
const server = await serve(pageFolder);
const browser = await launchChromium();
const page = await browser.newPage({ viewport: { width: 1200, height: 860 } });
await page.goto(`${server.url}#touch=${encodeURIComponent(touch)}`);
await page.waitForFunction(() => document.body.dataset.state === 'idle');
await page.screenshot({ path: output });
await browser.close();
await server.close();
console.log(`wrote ${output}`);
