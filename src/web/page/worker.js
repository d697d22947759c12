// The worker: runs the program on the text of a Sudin.txt and sends its texts back as bytes, the
// report first and the run page after it.
'use strict';
// The module would fetch its own inlined bytes from a data: URL, which the page's policy refuses;
// without fetch it decodes them itself.
self.fetch = undefined;
const tarvikReady = TarvikModule();
tarvikReady.then(() => postMessage({kind: 'ready'}));

function TextBytes(m, which) {
  const at = m._TarvikText(which) >>> 0;
  const size = m._TarvikTextSize(which) >>> 0;
  return m.HEAPU8.slice(at, at + size).buffer;
}

onmessage = async (event) => {
  const m = await tarvikReady;
  const input = new TextEncoder().encode(event.data.sudin);
  const at = m._malloc(Math.max(input.length, 1));
  m.HEAPU8.set(input, at);
  const start = performance.now();
  const status = m._TarvikRun(at, input.length);
  const solveMs = performance.now() - start;
  m._free(at);
  const outcome = m._TarvikOutcome();
  const report = {
    kind: 'report', status, outcome, solveMs,
    console: TextBytes(m, 0), file: TextBytes(m, 1), errors: TextBytes(m, 2),
  };
  postMessage(report, [report.console, report.file, report.errors]);
  if (outcome >= 0 && event.data.page) {
    m._TarvikRenderPage();
    const page = {kind: 'page', page: TextBytes(m, 3)};
    postMessage(page, [page.page]);
  }
  m._TarvikClear();
  postMessage({kind: 'done'});
};
