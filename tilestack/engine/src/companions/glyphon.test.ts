import assert from 'node:assert/strict';
import { describe, test, type TestContext } from 'node:test';
import { Puppet } from '../testing/puppet.ts';
import { CompanionError } from './contracts.ts';
import { GlyphonClient, type GlyphonOptions } from './glyphon.ts';
import type { MotionWrite } from './glyphon_protocol.ts';

async function startGlyphon(t: TestContext, options: Partial<GlyphonOptions> = {}): Promise<{ glyphon: GlyphonClient; puppet: Puppet }> {
  const puppet = await Puppet.create();
  t.after(() => puppet.close());
  const starting = GlyphonClient.start(puppet.program, { env: puppet.env(), ...options });
  await puppet.started();
  puppet.stdout('READY');
  puppet.stdout('METRICS:1440,900,64');
  const glyphon = await starting;
  t.after(() => glyphon.stop());
  return { glyphon, puppet };
}

// The next command Glyphon was sent, decoded.
async function nextCommand(puppet: Puppet): Promise<Record<string, unknown>> {
  return JSON.parse(await puppet.nextInput()) as Record<string, unknown>;
}

function answer(puppet: Puppet, id: unknown, rest: object): void {
  puppet.stdout(`ICON:${JSON.stringify({ id, ...rest })}`);
}

function isCompanionError(kind: CompanionError['kind'], message: RegExp) {
  return (error: unknown): boolean => {
    assert.ok(error instanceof CompanionError, String(error));
    assert.equal(error.companion, 'Glyphon');
    assert.equal(error.kind, kind);
    assert.match(error.message, message);
    return true;
  };
}

describe('GlyphonClient start', () => {
  test('reads the screen and icon size from METRICS', async (t) => {
    const { glyphon } = await startGlyphon(t);
    assert.deepEqual(glyphon.metrics, { width: 1440, height: 900, iconSize: 64 });
  });

  test('silence is a start error', async (t) => {
    const puppet = await Puppet.create();
    t.after(() => puppet.close());
    const starting = GlyphonClient.start(puppet.program, { env: puppet.env(), startTimeoutMs: 100 });
    await assert.rejects(starting, isCompanionError('start', /^Glyphon: did not start: wrote no READY line within 100 ms$/));
  });

  const failures = [
    { name: 'METRICS that do not decode', play: (puppet: Puppet) => (puppet.stdout('READY'), puppet.stdout('METRICS:wide,900,64')), message: /METRICS:wide,900,64/ },
    {
      name: 'an exit before READY',
      play: (puppet: Puppet) => (puppet.stderr('Finder is not running'), puppet.exit(3)),
      message: /exit status 3.*Finder is not running/,
    },
  ];
  for (const { name, play, message } of failures) {
    test(`${name} is a start error`, async (t) => {
      const puppet = await Puppet.create();
      t.after(() => puppet.close());
      const starting = GlyphonClient.start(puppet.program, { env: puppet.env() });
      await puppet.started();
      play(puppet);
      await assert.rejects(starting, isCompanionError('start', message));
    });
  }
});

describe('GlyphonClient commands', () => {
  // Each method: the command it writes (without its id), Glyphon's answer, what it resolves with.
  const cases: Array<{ name: string; call: (glyphon: GlyphonClient) => Promise<unknown>; sent: object; result?: object; value: unknown }> = [
    {
      name: 'position with and without a transition',
      call: (glyphon) =>
        glyphon.position([
          { path: '/d/a', x: 10, y: 20, duration: 0.25, easing: 'linear' },
          { path: '/d/b', x: 30, y: 40 },
        ]),
      sent: { type: 'position', updates: [{ path: '/d/a', x: 10, y: 20, transition: { duration: 0.25, easing: 'linear' } }, { path: '/d/b', x: 30, y: 40 }] },
      result: {
        data: JSON.stringify([
          { path: '/d/b', generation: 1, status: 'completed', position: { x: 30, y: 40 } },
          { path: '/d/a', generation: 4, status: 'superseded', position: { x: 12.5, y: 21 } },
        ]),
      },
      value: [
        { path: '/d/b', generation: 1, status: 'completed', position: { x: 30, y: 40 } },
        { path: '/d/a', generation: 4, status: 'superseded', position: { x: 12.5, y: 21 } },
      ],
    },
    { name: 'position_cancel', call: (glyphon) => glyphon.positionCancel(['/d/a']), sent: { type: 'position_cancel', paths: ['/d/a'] }, value: undefined },
    { name: 'template_copy', call: (glyphon) => glyphon.templateCopy('/t/red', '/d/a'), sent: { type: 'template_copy', iconPath: '/t/red', path: '/d/a' }, value: undefined },
    { name: 'icon_set_path', call: (glyphon) => glyphon.iconSetPath('/d/a', '/i/a.png'), sent: { type: 'icon_set_path', path: '/d/a', iconPath: '/i/a.png' }, value: undefined },
    { name: 'icon_size', call: (glyphon) => glyphon.iconSize(), sent: { type: 'icon_size' }, result: { iconSize: 64 }, value: 64 },
    { name: 'icon_size_set sends the size as text', call: (glyphon) => glyphon.iconSizeSet(72), sent: { type: 'icon_size_set', value: '72' }, result: { iconSize: 48 }, value: 48 },
    { name: 'grid_spacing', call: (glyphon) => glyphon.gridSpacing(), sent: { type: 'grid_spacing' }, result: { gridSpacing: 54 }, value: 54 },
    { name: 'grid_spacing_set', call: (glyphon) => glyphon.gridSpacingSet(80), sent: { type: 'grid_spacing_set', value: '80' }, result: { gridSpacing: 80 }, value: 80 },
    {
      name: 'grid_arrangement_get names Finder’s constant',
      call: (glyphon) => glyphon.gridArrangement(),
      sent: { type: 'grid_arrangement_get' },
      result: { gridArrangement: "'enum'('narr')" },
      value: 'not arranged',
    },
    {
      name: 'grid_arrangement_get keeps text it does not know',
      call: (glyphon) => glyphon.gridArrangement(),
      sent: { type: 'grid_arrangement_get' },
      result: { gridArrangement: "'enum'('sisa')" },
      value: "'enum'('sisa')",
    },
    {
      name: 'grid_arrangement_set',
      call: (glyphon) => glyphon.gridArrangementSet('By Name'),
      sent: { type: 'grid_arrangement_set', value: 'By Name' },
      result: { gridArrangement: 'name' },
      value: 'name',
    },
    { name: 'desktop_labels status', call: (glyphon) => glyphon.desktopLabelsVisible(), sent: { type: 'desktop_labels', value: 'status' }, result: { desktopLabelsVisible: true }, value: true },
    { name: 'desktop_labels set', call: (glyphon) => glyphon.desktopLabelsSet(false), sent: { type: 'desktop_labels', value: 'false' }, result: { desktopLabelsVisible: false }, value: false },
    {
      name: 'icon_positions_get',
      call: (glyphon) => glyphon.iconPositions(),
      sent: { type: 'icon_positions_get' },
      result: { data: 'a.txt\t132\t239\t64\t77' },
      value: new Map([['a.txt', { x: 132, y: 239 }]]),
    },
    {
      name: 'cover_set for the stage',
      call: (glyphon) => glyphon.coverSet('stage', { x: 0, y: 0, w: 100, h: 50 }, '#ff8800'),
      sent: { type: 'cover_set', x: 0, y: 0, w: 100, h: 50, color: '#ff8800' },
      value: undefined,
    },
    {
      name: 'feedback_cover_set',
      call: (glyphon) => glyphon.coverSet('feedback', { x: 1, y: 2, w: 3, h: 4 }, '#000000'),
      sent: { type: 'feedback_cover_set', x: 1, y: 2, w: 3, h: 4, color: '#000000' },
      value: undefined,
    },
    {
      name: 'park_cover_set for any other owner',
      call: (glyphon) => glyphon.coverSet('left', { x: 1, y: 2, w: 3, h: 4 }, '#000000'),
      sent: { type: 'park_cover_set', owner: 'left', x: 1, y: 2, w: 3, h: 4, color: '#000000' },
      value: undefined,
    },
    { name: 'cover_clear', call: (glyphon) => glyphon.coverClear('stage'), sent: { type: 'cover_clear' }, value: undefined },
    { name: 'feedback_cover_clear', call: (glyphon) => glyphon.coverClear('feedback'), sent: { type: 'feedback_cover_clear' }, value: undefined },
    { name: 'park_cover_clear', call: (glyphon) => glyphon.coverClear('left'), sent: { type: 'park_cover_clear', owner: 'left' }, value: undefined },
    { name: 'session_status', call: (glyphon) => glyphon.sessionStatus('loading'), sent: { type: 'session_status', value: 'loading' }, value: undefined },
    { name: 'ui_setup', call: (glyphon) => glyphon.uiSetup(true), sent: { type: 'ui_setup', value: 'true' }, value: undefined },
    { name: 'batch with a result', call: (glyphon) => glyphon.batch('get 1'), sent: { type: 'batch', script: 'get 1' }, result: { data: '1' }, value: '1' },
    { name: 'batch without a result', call: (glyphon) => glyphon.batch('beep'), sent: { type: 'batch', script: 'beep' }, value: null },
    {
      name: 'icon_get decodes the PNG',
      call: (glyphon) => glyphon.iconGet('/d/a'),
      sent: { type: 'icon_get', path: '/d/a' },
      result: { hasCustomIcon: true, data: Buffer.from('PNG!').toString('base64') },
      value: { hasCustomIcon: true, png: Buffer.from('PNG!') },
    },
    {
      name: 'icon_get without a custom icon',
      call: (glyphon) => glyphon.iconGet('/d/a'),
      sent: { type: 'icon_get', path: '/d/a' },
      result: { hasCustomIcon: false },
      value: { hasCustomIcon: false, png: null },
    },
    {
      name: 'icon_set_data encodes the image',
      call: (glyphon) => glyphon.iconSetData('/d/a', Buffer.from('PNG!')),
      sent: { type: 'icon_set_data', path: '/d/a', iconData: Buffer.from('PNG!').toString('base64') },
      value: undefined,
    },
    { name: 'icon_clear', call: (glyphon) => glyphon.iconClear('/d/a'), sent: { type: 'icon_clear', path: '/d/a' }, value: undefined },
    { name: 'background_get', call: (glyphon) => glyphon.backgroundGet(), sent: { type: 'background_get' }, result: { data: '/p/sky.png' }, value: '/p/sky.png' },
    { name: 'background_set_path', call: (glyphon) => glyphon.backgroundSetPath('/p/sky.png'), sent: { type: 'background_set_path', path: '/p/sky.png' }, value: undefined },
    {
      name: 'restart_finder',
      call: (glyphon) => glyphon.restartFinder({ iconSize: 48, gridArrangement: 'none' }),
      sent: { type: 'restart_finder', iconSize: 48, gridArrangement: 'none' },
      result: { iconSize: 48, gridArrangement: 'none' },
      value: undefined,
    },
    { name: 'synth_drag at a point', call: (glyphon) => glyphon.synthDrag({ point: { x: 10.9, y: 20.2 } }), sent: { type: 'synth_drag', x: 10.9, y: 20.2 }, result: { data: '10,20' }, value: { x: 10, y: 20 } },
    { name: 'synth_drag on a file', call: (glyphon) => glyphon.synthDrag({ path: '/d/a' }), sent: { type: 'synth_drag', path: '/d/a' }, result: { data: '132,-4' }, value: { x: 132, y: -4 } },
  ];

  test('every command is written with its fields, and its answer converted', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    let expectedId = 1;
    for (const { name, call, sent, result, value } of cases) {
      const answered = call(glyphon);
      const { id, ...command } = await nextCommand(puppet);
      assert.equal(id, String(expectedId++), `${name}: ids count up from 1`);
      assert.deepEqual(command, sent, name);
      answer(puppet, id, result ? { ok: true, result } : { ok: true });
      assert.deepEqual(await answered, value, name);
    }
  });

  test('answers are matched by id, in whatever order they come', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    const moving = glyphon.position([{ path: '/d/a', x: 1, y: 2, duration: 2 }]);
    const sizing = glyphon.iconSize();
    const labelling = glyphon.desktopLabelsVisible();
    const ids = [await nextCommand(puppet), await nextCommand(puppet), await nextCommand(puppet)].map((command) => command['id']);
    answer(puppet, ids[2], { ok: true, result: { desktopLabelsVisible: false } });
    answer(puppet, ids[1], { ok: true, result: { iconSize: 32 } });
    answer(puppet, 'someone else', { ok: true, result: { iconSize: 1 } });
    answer(puppet, ids[0], { ok: true, result: { data: JSON.stringify([{ path: '/d/a', generation: 1, status: 'completed', position: { x: 1, y: 2 } }]) } });
    assert.equal(await labelling, false);
    assert.equal(await sizing, 32);
    assert.equal((await moving)[0]?.status, 'completed');
  });

  test('a refusal carries Glyphon’s error text; an answer without its value is refused too', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    const copying = glyphon.templateCopy('/t/red', '/d/a');
    answer(puppet, (await nextCommand(puppet))['id'], { ok: false, error: 'template_copy: File exists' });
    await assert.rejects(copying, isCompanionError('refused', /^Glyphon: template_copy: File exists$/));

    const sizing = glyphon.iconSize();
    answer(puppet, (await nextCommand(puppet))['id'], { ok: true, result: { iconSize: '64' } });
    await assert.rejects(sizing, isCompanionError('refused', /icon_size: the answer has no valid iconSize/));

    const moving = glyphon.position([{ path: '/d/a', x: 1, y: 2 }]);
    answer(puppet, (await nextCommand(puppet))['id'], { ok: true, result: { data: '[{"path":"/d/a"}]' } });
    await assert.rejects(moving, isCompanionError('refused', /position: the answer has no valid motion receipts/));
  });

  test('a command without an answer times out, and the next one is still served', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t, { commandTimeoutMs: 100 });
    const sizing = glyphon.iconSize();
    await nextCommand(puppet);
    await assert.rejects(sizing, isCompanionError('timeout', /icon_size was not answered in time/));
    const spacing = glyphon.gridSpacing();
    answer(puppet, (await nextCommand(puppet))['id'], { ok: true, result: { gridSpacing: 54 } });
    assert.equal(await spacing, 54);
  });

  test('commands that Glyphon never answers are sent without an id', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    glyphon.color('/d/a', 2);
    glyphon.comment('/d/a', 'say "hi"');
    glyphon.extensionHidden('/d/a', true);
    assert.deepEqual(
      [await nextCommand(puppet), await nextCommand(puppet), await nextCommand(puppet)],
      [
        { type: 'color', path: '/d/a', value: '2' },
        { type: 'comment', path: '/d/a', value: 'say "hi"' },
        { type: 'extension_hidden', path: '/d/a', value: 'true' },
      ],
    );
  });

  test('motion writes and script errors reach their listeners; other lines are ignored', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    const motions: MotionWrite[][] = [];
    const errors: string[] = [];
    glyphon.onMotion((writes) => motions.push(writes));
    glyphon.onScriptError((message) => errors.push(message));
    puppet.stdout('MOTION:[{"path":"/d/a","x":300,"y":200}]');
    puppet.stdout('MOTION:not json');
    puppet.stdout('something else');
    puppet.stdout('FINDER_SCRIPT_ERROR:Finder got an error: Application isn’t running.');
    puppet.stdout('COCOA_EXTENSION_ERROR:read attribute failed');
    // An answer written after them: once it arrives, the lines before it have been handled.
    const sizing = glyphon.iconSize();
    answer(puppet, (await nextCommand(puppet))['id'], { ok: true, result: { iconSize: 64 } });
    await sizing;
    assert.deepEqual(motions, [[{ path: '/d/a', position: { x: 300, y: 200 } }]]);
    assert.deepEqual(errors, ['Finder got an error: Application isn’t running.', 'read attribute failed']);
  });

  test('when Glyphon ends, every pending command fails and later ones fail at once', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    const moving = glyphon.position([{ path: '/d/a', x: 1, y: 2, duration: 1 }]);
    const sizing = glyphon.iconSize();
    await nextCommand(puppet);
    await nextCommand(puppet);
    puppet.stderr('lost Finder');
    puppet.exit(1);
    await assert.rejects(moving, isCompanionError('exited', /exit status 1\) before it answered position.*lost Finder/));
    await assert.rejects(sizing, isCompanionError('exited', /before it answered icon_size/));
    await assert.rejects(glyphon.gridSpacing(), isCompanionError('exited', /grid_spacing not sent/));
  });

  test('stop writes EXIT and waits for the end', async (t) => {
    const { glyphon, puppet } = await startGlyphon(t);
    const ended = new Promise((resolve) => glyphon.onExit(resolve));
    const stopping = glyphon.stop();
    assert.equal(await puppet.nextInput(), 'EXIT');
    puppet.exit(0);
    await stopping;
    assert.deepEqual(await ended, { code: 0, signal: null });
  });
});
