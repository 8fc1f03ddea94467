// The engine with the real Glyphon, Sonette and Keyhark on a private simdesk.

import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import { describe, test } from 'node:test';
import { layoutBoard } from './board.ts';
import { GlyphonClient } from './companions/glyphon.ts';
import { lookUpBuild } from './testing/build.ts';
import { SimdeskSession } from './testing/simdesk_session.ts';
import { waitFor } from './test_fixtures/wait_for.ts';

const build = lookUpBuild();
const walkerMain = path.join(import.meta.dirname, 'test_fixtures', 'walker_real_main.ts');

describe('the engine with the real companions', { skip: build.skip }, () => {
  test('a mouse game on simdesk: Finder set up, keys and clicks move tiles, SIGTERM puts everything back', async (t) => {
    const programs = build.programs();
    const session = await SimdeskSession.start(programs);
    t.after(() => session.stop());

    // The user's own Finder settings, which the game changes and must put back.
    const glyphon = await GlyphonClient.start(programs.glyphon, { env: session.env() });
    await glyphon.iconSizeSet(48);
    await glyphon.gridArrangementSet('snap to grid');
    await glyphon.desktopLabelsSet(true);
    await glyphon.stop();
    const finderOptions = async (): Promise<unknown[]> => {
      const options = (await session.state()).finder.iconViewOptions;
      return [options['iconSize'], options['arrangement'], options['showsItemInfo']];
    };
    assert.deepEqual(await finderOptions(), [48, 'snap to grid', true]);

    const clients: net.Socket[] = [];
    const inputSocket = net.createServer((socket) => clients.push(socket));
    await new Promise<void>((resolve) => inputSocket.listen(0, '127.0.0.1', resolve));
    t.after(() => {
      for (const client of clients) client.destroy();
      inputSocket.close();
    });
    const port = (inputSocket.address() as net.AddressInfo).port;

    const statusPath = path.join(session.tmp, 'status.json');
    const engine = spawn(process.execPath, ['--import', 'tsx', walkerMain], {
      env: session.env({
        DESKPLAY_PORT: String(port),
        DESKPLAY_SUPERVISED: '1',
        FRONDEL_SESSION_STATUS_PATH: statusPath,
        FRONDEL_SESSION_ID: 'INTEGRATION-1',
        FRONDEL_SESSION_STATUS_SURFACE: 'native',
        GAME_SERVER_URL: 'ws://127.0.0.1:9',
        DESKPLAY_DATA_DIR: path.join(session.home, 'Documents', 'Deskplay'),
        FRONDEL_GLYPHON_PATH: programs.glyphon,
        FRONDEL_KEYHARK_PATH: programs.keyhark,
        FRONDEL_SONETTE_PATH: programs.sonette,
        FRONDEL_BURROWD_PATH: programs.burrowd,
        SDL_AUDIODRIVER: 'dummy',
      }),
      stdio: ['ignore', 'ignore', 'pipe'],
    });
    let gameLog = '';
    engine.stderr.setEncoding('utf8').on('data', (chunk: string) => (gameLog += chunk));
    const exited = new Promise<number | null>((resolve) => engine.on('exit', (code) => resolve(code)));
    t.after(() => engine.kill('SIGKILL'));
    const phase = (): string | null => {
      try {
        return (JSON.parse(fs.readFileSync(statusPath, 'utf8')) as { phase: string }).phase;
      } catch {
        return null;
      }
    };
    await waitFor('the engine to be ready', () => phase() === 'ready' || engine.exitCode !== null, 30_000);
    assert.equal(phase(), 'ready', gameLog);
    assert.deepEqual(await finderOptions(), [64, 'not arranged', false]);

    const board = layoutBoard({ cols: 3, rows: 3, iconSize: 64 }, { width: 1440, height: 900, iconSize: 64 });
    const tileAt = async (col: number, row: number): Promise<boolean> => {
      const centre = board.centreOf({ col, row });
      const items = (await session.state()).finder.items;
      return items.some((item) => item.hasCustomIcon && item.position.x === centre.x && item.position.y === centre.y);
    };
    // Polls simdesk's state until `check` holds.
    const eventually = async (what: string, check: () => Promise<boolean>): Promise<void> => {
      const deadline = Date.now() + 20_000;
      while (!(await check())) {
        if (Date.now() > deadline) assert.fail(`timed out waiting for ${what}\n${gameLog}`);
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
    };
    await eventually('the two tiles at the top left', async () => (await tileAt(0, 0)) && (await session.state()).finder.items.length === 2);

    for (const client of clients) client.write('{"type":"keydown","keyCode":124,"char":""}\n');
    await eventually('the walker to step right', () => tileAt(1, 0));

    const target = board.centreOf({ col: 2, row: 2 });
    await session.click(target.x, target.y);
    await eventually('the walker to go to the clicked cell', () => tileAt(2, 2));

    engine.kill('SIGTERM');
    assert.equal(await exited, 0, gameLog);
    assert.equal(phase(), 'child-complete');
    assert.deepEqual(fs.readdirSync(session.desktop), []);
    assert.deepEqual(await finderOptions(), [48, 'snap to grid', true]);
  });
});
