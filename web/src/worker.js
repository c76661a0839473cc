// The proof, away from the page: the core module runs the command on the touch and answers what
// the command line writes. The page ends this worker when a newer touch arrives during a proof.
/* global createSixesCore */
const corePromise = createSixesCore();
const encoder = new TextEncoder();
const decoder = new TextDecoder();

function copyIn(core, bytes) {
  const address = core._malloc(bytes.length + 1);
  core.HEAPU8.set(bytes, address);
  return address;
}

function prove(core, request) {
  const touch = encoder.encode(request.touch);
  const argumentBytes = encoder.encode(request.arguments.map((a) => a + '\0').join(''));
  const touchAddress = copyIn(core, touch);
  const argumentsAddress = copyIn(core, argumentBytes);
  const started = performance.now();
  const run = core._RunPage(argumentsAddress, argumentBytes.length, touchAddress, touch.length);
  const milliseconds = performance.now() - started;
  const text = (which) => {
    const address = core._PageRunText(run, which);
    return decoder.decode(core.HEAPU8.subarray(address, address + core._PageRunSize(run, which)));
  };
  const answer = {
    kind: 'proof',
    id: request.id,
    stdout: text(0),
    stderr: text(1),
    json: text(2),
    status: core._PageRunStatus(run),
    milliseconds,
  };
  core._FreePageRun(run);
  core._free(touchAddress);
  core._free(argumentsAddress);
  return answer;
}

function rows(core, request) {
  const touch = encoder.encode(request.touch);
  const touchAddress = copyIn(core, touch);
  const ranges = new Int32Array(request.ranges.flat());
  const rangesAddress = copyIn(core, new Uint8Array(ranges.buffer));
  const result = core._PageRows(touchAddress, touch.length, rangesAddress, request.ranges.length);
  const address = core._PageText(result);
  const text = decoder.decode(core.HEAPU8.subarray(address, address + core._PageTextSize(result)));
  core._FreePageText(result);
  core._free(touchAddress);
  core._free(rangesAddress);
  // One list of rows for each range: each range ends with an empty line.
  const lists = [[]];
  for (const line of text.split('\n').slice(0, -1)) {
    if (line === '') {
      lists.push([]);
    } else {
      lists[lists.length - 1].push(line);
    }
  }
  lists.pop();
  return {
    kind: 'rows',
    id: request.id,
    rows: lists,
  };
}

self.onmessage = async (event) => {
  const core = await corePromise;
  const request = event.data;
  self.postMessage(request.kind === 'rows' ? rows(core, request) : prove(core, request));
};
