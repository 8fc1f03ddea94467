// A test game that changes how the desktop looks through Glyphon, exactly as a game does:
// Finder's stored and shown icon view settings (with a Finder restart), item info, the
// desktop picture, and the Dock and the menu bar; LOOK_GAME_CHANGES, a comma-separated list of
// command types, narrows that down. Then, as LOOK_GAME_END says, it dies at once by SIGKILL
// ("crash", the default) or stays until it is ended ("stay").
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';

const glyphon = spawn(process.env.FRONDEL_GLYPHON_PATH, [], { stdio: ['pipe', 'pipe', 'inherit'] });
const answers = new Map();
let ready;
const started = new Promise((resolve) => { ready = resolve; });
createInterface({ input: glyphon.stdout }).on('line', (line) => {
  if (line === 'READY') ready();
  if (!line.startsWith('ICON:')) return;
  const answer = JSON.parse(line.slice('ICON:'.length));
  answers.get(answer.id)?.(answer);
});

let last = 0;
function send(command) {
  const id = String(++last);
  return new Promise((resolve) => {
    answers.set(id, resolve);
    glyphon.stdin.write(`${JSON.stringify({ id, ...command })}\n`);
  });
}

await started;
const changes = [
  { type: 'restart_finder', gridSpacing: 80, iconSize: 96, gridArrangement: 'name', textSize: 15, labelPosition: 'right' },
  { type: 'desktop_labels', value: 'true' },
  { type: 'background_set_path', path: `${process.env.HOME}/Pictures/board.png` },
  { type: 'ui_setup', value: 'true' },
];
const wanted = process.env.LOOK_GAME_CHANGES?.split(',');
for (const change of changes.filter((each) => !wanted || wanted.includes(each.type))) {
  const answer = await send(change);
  console.log(`${change.type} ${answer.ok ? 'ok' : `failed: ${answer.error}`}`);
}
console.log('look changed');
if (process.env.LOOK_GAME_END === 'stay') {
  setInterval(() => {}, 60_000);
} else {
  process.kill(process.pid, 'SIGKILL');
}
