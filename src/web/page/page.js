// The page: the grid and fields, the Sudin.txt they make, the run in a worker, and its result.
'use strict';
(() => {
  const kExample = {
    p: '530070000600195000098000060800060003400803001700020006060000280000419005000080079',
    l: '1', b: '4', s: '40', q: '4123',
  };
  const kShownBytes = 1 << 20;  // the most of the console report put in the page
  const kOutcomes = ['Puzzle solved', 'Step limit reached', 'No solution', 'No further guesses'];
  const kFields = ['l', 'b', 's', 'q'];
  const $ = (id) => document.getElementById(id);

  // The grid: 81 inputs, row by row.
  const cells = [];
  for (let r = 0; r < 9; ++r) {
    const row = $('grid').insertRow();
    for (let c = 0; c < 9; ++c) {
      const input = document.createElement('input');
      input.setAttribute('aria-label', `row ${r + 1}, column ${c + 1}`);
      input.inputMode = 'numeric';
      input.autocomplete = 'off';
      input.dataset.index = String(r * 9 + c);
      row.insertCell().appendChild(input);
      cells.push(input);
    }
  }
  const field = (name) => $('field-' + name);

  function Focus(index) {
    const cell = cells[(index + 81) % 81];
    cell.focus();
    cell.select();
  }

  // Sets the grid from 81 characters: digits, and '.' or '0' for an empty cell.
  function SetGrid(text) {
    for (let k = 0; k < 81; ++k) {
      const ch = k < text.length ? text[k] : '0';
      cells[k].value = ch >= '1' && ch <= '9' ? ch : '';
    }
  }
  const GridText = () => cells.map((cell) => cell.value.trim() === '' ? '0' : cell.value.trim());

  $('grid').addEventListener('keydown', (event) => {
    const cell = event.target;
    if (!(cell instanceof HTMLInputElement)) return;
    const index = Number(cell.dataset.index);
    const moves = {ArrowLeft: -1, ArrowRight: 1, ArrowUp: -9, ArrowDown: 9};
    if (event.key in moves) {
      event.preventDefault();
      Focus(index + moves[event.key]);
    } else if (event.key >= '1' && event.key <= '9' && event.key.length === 1) {
      event.preventDefault();
      cell.value = event.key;
      Changed();
      Focus(index + 1);
    } else if (event.key === '0' || event.key === '.' || event.key === ' ') {
      event.preventDefault();
      cell.value = '';
      Changed();
      Focus(index + 1);
    } else if (event.key === 'Backspace' || event.key === 'Delete') {
      event.preventDefault();
      cell.value = '';
      Changed();
      if (event.key === 'Backspace') Focus(index - 1);
    } else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey) {
      event.preventDefault();
    }
  });
  $('grid').addEventListener('input', () => Changed());

  // A whole Sudin.txt: nine rows of nine values, then the parameters, then the sequence; values
  // separated by blanks or commas, each read starting on a new line as the program reads them.
  function ReadSudin(text) {
    const lines = text.split(/\r\n|\n|\r/);
    let line = 0;
    const read = (count) => {
      const values = [];
      while (values.length < count && line < lines.length) {
        values.push(...lines[line++].split(/[ \t,]+/).filter((v) => v !== ''));
      }
      return values.slice(0, count);
    };
    const grid = [];
    for (let r = 0; r < 9; ++r) grid.push(...read(9));
    const [l, b, s] = read(3);
    const steps = Number(s);
    const codes = Number.isInteger(steps) && steps > 0 ? read(Math.min(steps, 100)) : [];
    return {grid, l, b, s, q: codes.join('')};
  }

  $('grid').addEventListener('paste', (event) => {
    const text = (event.clipboardData || window.clipboardData).getData('text');
    const line = text.trim();
    if (/^[0-9.]{81}$/.test(line)) {
      event.preventDefault();
      SetGrid(line);
    } else if (/\n/.test(line)) {
      event.preventDefault();
      const sudin = ReadSudin(text);
      sudin.grid.forEach((value, k) => { cells[k].value = value === '0' ? '' : value; });
      for (const name of kFields) {
        if (sudin[name] !== undefined && sudin[name] !== '') field(name).value = sudin[name];
      }
    } else {
      return;
    }
    Changed();
  });
  $('clear').addEventListener('click', () => {
    SetGrid('');
    Changed();
    Focus(0);
  });

  // The Sudin.txt the fields make, or the refusal of a field the page cannot write into one.
  const kNames = {l: 'print level', b: 'look-back distance', s: 'number of steps'};
  const kRanges = {
    l: 'an integer', b: 'an integer of 1 or more', s: 'an integer from 5 to 100',
    q: '1 to 100 technique codes, each 1 to 4',
  };
  function MakeSudin() {
    const refusals = [];
    const grid = GridText();
    grid.forEach((value, k) => {
      if (/[\s,]/.test(value) || value === '') {
        refusals.push({field: 'grid', cells: [k], text:
          `row ${Math.floor(k / 9) + 1}, column ${k % 9 + 1}: found "${value}", expected a cell value 0 to 9`});
      }
    });
    const values = {};
    for (const name of ['l', 'b', 's']) {
      values[name] = field(name).value.trim();
      if (values[name] === '' || /[\s,]/.test(values[name])) {
        refusals.push({field: name, text:
          `${kNames[name]}: found ${values[name] === '' ? 'nothing' : JSON.stringify(values[name])}, expected ${kRanges[name]}`});
      }
    }
    const codes = field('q').value.replace(/[\s,]+/g, '');
    if (codes === '' || codes.length > 100 || /[^0-9]/.test(codes)) {
      refusals.push({field: 'q', text:
        `search sequence: found ${JSON.stringify(field('q').value)}, expected ${kRanges.q}`});
    }
    let text = '';
    for (let r = 0; r < 9; ++r) text += grid.slice(r * 9, r * 9 + 9).join(' ') + '\n';
    text += `${values.l} ${values.b} ${values.s}\n`;
    const steps = /^[+]?[0-9]+$/.test(values.s) ? Number(values.s) : 0;
    const count = steps >= 5 && steps <= 100 ? steps : codes.length;
    const sequence = [];
    for (let k = 0; k < count && codes.length > 0; ++k) sequence.push(codes[k % codes.length]);
    text += sequence.join(' ') + '\n';
    return {text, refusals};
  }

  // The fragment: every field, so that a link reproduces a run.
  function Fragment() {
    const p = GridText().map((v) => (v.length === 1 && v >= '0' && v <= '9' ? v : '0')).join('');
    const params = new URLSearchParams({p});
    for (const name of kFields) params.set(name, field(name).value);
    return '#' + params.toString();
  }
  function ApplyFragment() {
    const params = new URLSearchParams(location.hash.slice(1));
    const given = params.has('p');
    const p = given ? params.get('p') : kExample.p;
    SetGrid(p.replace(/[^0-9.]/g, ''));
    for (const name of kFields) {
      field(name).value = params.has(name) ? params.get(name) : kExample[name];
    }
    Changed();
    return given;
  }

  let sudinUrl = null;
  function Changed() {
    for (const element of document.querySelectorAll('.refused')) element.classList.remove('refused');
    for (const element of document.querySelectorAll('.refusal')) element.textContent = '';
    if (sudinUrl) URL.revokeObjectURL(sudinUrl);
    sudinUrl = URL.createObjectURL(new Blob([MakeSudin().text], {type: 'text/plain'}));
    $('download-sudin').href = sudinUrl;
  }
  for (const name of kFields) field(name).addEventListener('input', Changed);

  // Marks a refusal beside its field: the program's message without its "tarvik: Sudin.txt:LINE: ".
  function Refuse(refusal) {
    const place = $('refusal-' + refusal.field);
    place.textContent = place.textContent ? place.textContent + '\n' + refusal.text : refusal.text;
    if (refusal.field === 'grid') {
      for (const k of refusal.cells) cells[k].classList.add('refused');
    } else {
      field(refusal.field).classList.add('refused');
    }
  }
  function RefusalOf(message) {
    const text = message.replace(/\n$/, '').replace(/^tarvik: Sudin\.txt(:[0-9]+)?: /, '');
    const at = [...text.matchAll(/row ([0-9]+), column ([0-9]+)/g)]
      .map((m) => (Number(m[1]) - 1) * 9 + Number(m[2]) - 1);
    if (/^row /.test(text)) return {field: 'grid', cells: at, text};
    if (/^print level/.test(text)) return {field: 'l', text};
    if (/^look-back distance/.test(text)) return {field: 'b', text};
    if (/^number of steps/.test(text)) return {field: 's', text};
    if (/^search sequence/.test(text)) return {field: 'q', text};
    return {field: 'grid', cells: [], text};
  }

  // The run, in a worker started from the page's own text: no file is fetched.
  const workerUrl = URL.createObjectURL(
    new Blob([$('worker-source').textContent], {type: 'text/javascript'}));
  let worker = null;
  let runs = 0;
  let runStarted = 0;
  const urls = [];
  const outcome = $('outcome');

  function SetState(state, text) {
    outcome.dataset.state = state;
    outcome.textContent = text;
  }
  function Idle(running) {
    $('run').disabled = false;
    $('cancel').disabled = !running;
  }
  function Download(id, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], {type}));
    urls.push(url);
    $(id).href = url;
    return url;
  }
  function ClearResult() {
    while (urls.length > 0) URL.revokeObjectURL(urls.pop());
    $('console').textContent = '';
    $('cut').hidden = true;
    $('downloads').hidden = true;
    $('download-page').hidden = true;
    $('page').hidden = true;
    $('page').removeAttribute('srcdoc');
  }

  function Finished() {
    ++runs;
    outcome.dataset.runs = String(runs);
    Idle(false);
  }

  function OnMessage(message) {
    const data = message.data;
    if (data.kind === 'ready') {
      outcome.dataset.moduleMs = String(performance.now());
    } else if (data.kind === 'report') {
      if (data.outcome < 0) {
        Refuse(RefusalOf(new TextDecoder().decode(data.errors)));
        SetState('refused', 'Refused: nothing was run.');
        return;
      }
      const console = new Uint8Array(data.console);
      const shown = console.subarray(0, kShownBytes);
      $('console').textContent = new TextDecoder().decode(shown);
      if (shown.length < console.length) {
        $('cut').hidden = false;
        $('cut').textContent = `The report is ${console.length.toLocaleString('en')} bytes: the first ` +
          `${shown.length.toLocaleString('en')} are shown; download the console report for the whole.`;
      }
      Download('download-sudout', data.file, 'text/plain');
      Download('download-console', data.console, 'text/plain');
      $('downloads').hidden = false;
      outcome.dataset.solveMs = String(data.solveMs);
      outcome.dataset.reportMs = String(performance.now() - runStarted);
      SetState('page', `${kOutcomes[data.outcome]}. Drawing the run page...`);
    } else if (data.kind === 'page') {
      Download('download-page', data.page, 'text/html');
      $('download-page').hidden = false;
      $('page').srcdoc = new TextDecoder().decode(data.page);
      $('page').hidden = false;
    } else if (data.kind === 'done') {
      if (outcome.dataset.state === 'page') {
        SetState('done', outcome.textContent.replace(/ Drawing the run page\.\.\.$/, ''));
      }
      Finished();
    }
  }

  function StartWorker() {
    worker = new Worker(workerUrl);
    worker.onmessage = OnMessage;
    worker.onerror = (event) => {
      SetState('failed', 'The run failed: ' + (event.message || 'the worker stopped'));
      worker.terminate();
      worker = null;
      Finished();
    };
  }

  function Cancel() {
    if (worker) worker.terminate();
    worker = null;
    StartWorker();
  }

  function Run() {
    if (outcome.dataset.state === 'running' || outcome.dataset.state === 'page') Cancel();
    Changed();
    ClearResult();
    history.replaceState(null, '', Fragment());
    const sudin = MakeSudin();
    if (sudin.refusals.length > 0) {
      sudin.refusals.forEach(Refuse);
      SetState('refused', 'Refused: nothing was run.');
      Finished();
      return;
    }
    SetState('running', 'Running...');
    runStarted = performance.now();
    $('cancel').disabled = false;
    worker.postMessage({sudin: sudin.text, page: true});
  }

  $('input').addEventListener('submit', (event) => {
    event.preventDefault();
    Run();
  });
  $('input').addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && event.target.id !== 'cancel' && event.target.id !== 'clear') {
      event.preventDefault();
      Run();
    }
  });
  $('cancel').addEventListener('click', () => {
    Cancel();
    SetState('cancelled', 'Cancelled.');
    Finished();
  });
  window.addEventListener('hashchange', () => {
    if (location.hash === Fragment()) return;
    if (ApplyFragment()) Run();
  });

  StartWorker();
  const linked = ApplyFragment();
  outcome.dataset.state = 'ready';
  outcome.dataset.readyMs = String(performance.now());
  if (linked) Run();
  else Focus(0);
})();
