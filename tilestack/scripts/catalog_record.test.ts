import assert from 'node:assert/strict';
import { mkdir, mkdtemp, readdir, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { readGameRecord, validateGameRecord } from './catalog_record.ts';

const gamesDir = path.join(import.meta.dirname, '..', 'games');

const valid = {
  id: 'demo',
  name: 'Demo',
  entryFile: 'demo/main.ts',
  section: 'tabletop',
  launch: 'soloOrMultiplayer',
  order: 2,
  multiplayer: { tagline: 'Play a friend', soloLabel: 'Alone' },
  controls: [['Return', 'Drop']],
  card: { gradient: ['#102030', 'a0b0c0'], glyph: ['#a', 'a#'], palette: { a: '#ff0000' } },
};

function without(key: string, from: Record<string, unknown> = valid): Record<string, unknown> {
  const copy = { ...from };
  delete copy[key];
  return copy;
}

function withCard(card: Record<string, unknown>): Record<string, unknown> {
  return { ...valid, card: { ...valid.card, ...card } };
}

describe('the games of this checkout', async () => {
  const ids = (await readdir(gamesDir, { withFileTypes: true })).filter((entry) => entry.isDirectory()).map((entry) => entry.name);

  test('there are games', () => assert.ok(ids.length >= 3, ids.join(', ')));

  for (const id of ids) {
    test(`games/${id}/game.json is a valid record for its folder`, async () => {
      const read = await readGameRecord(gamesDir, id);
      assert.ok(read.ok, read.ok ? '' : read.error);
      assert.equal(read.record.entryFile, `${id}/main.ts`);
    });
  }
});

describe('validateGameRecord', () => {
  test('a full record passes and keeps only the keys Deskplay reads', () => {
    const read = validateGameRecord({ ...valid, bundleURL: 'file:///x', extra: 1 });
    assert.ok(read.ok);
    assert.deepEqual(read.record, valid);
  });

  const accepted: { name: string; record: unknown }[] = [
    { name: 'without the optional keys', record: without('multiplayer', without('order')) },
    { name: 'with the optional keys null', record: { ...valid, order: null, multiplayer: null, card: { ...valid.card, palette: null } } },
    { name: 'with no controls', record: { ...valid, controls: [] } },
    { name: 'with a negative order', record: { ...valid, order: -1 } },
    { name: 'with only a tagline for multiplayer', record: { ...valid, multiplayer: { tagline: 'Online', soloTagline: null } } },
    { name: 'with every section and launch mode', record: { ...valid, section: 'studio', launch: 'multiplayerOnly' } },
    { name: 'with a palette key that is one grapheme of several code points', record: withCard({ palette: { '👍🏽': '#00ff00' } }) },
  ];
  for (const { name, record } of accepted) {
    test(`accepts a record ${name}`, () => {
      const read = validateGameRecord(record);
      assert.ok(read.ok, read.ok ? '' : read.error);
    });
  }

  const refused: { name: string; record: unknown; error: RegExp }[] = [
    { name: 'an array', record: [valid], error: /the record must be an object/ },
    { name: 'null', record: null, error: /the record must be an object/ },
    ...['id', 'name', 'entryFile', 'section', 'launch', 'controls', 'card'].map((key) => ({
      name: `a record without "${key}"`,
      record: without(key),
      error: new RegExp(`"${key}" .*missing`),
    })),
    { name: 'an empty name', record: { ...valid, name: ' ' }, error: /"name" must be a non-empty string/ },
    { name: 'a number as id', record: { ...valid, id: 7 }, error: /"id" must be a non-empty string \(got 7\)/ },
    { name: 'a section in another case', record: { ...valid, section: 'Arcade' }, error: /"section" must be one of arcade, puzzles, tabletop, studio \(got "Arcade"\)/ },
    { name: 'an unknown launch mode', record: { ...valid, launch: 'coop' }, error: /"launch" must be one of solo, soloOrMultiplayer, multiplayerOnly/ },
    { name: 'a fractional order', record: { ...valid, order: 1.5 }, error: /"order" must be a whole number/ },
    { name: 'an order as text', record: { ...valid, order: '1' }, error: /"order" must be a whole number/ },
    { name: 'a control of one string', record: { ...valid, controls: [['Return']] }, error: /"controls"\[0\] must be a pair/ },
    { name: 'a control of three strings', record: { ...valid, controls: [['A', 'b', 'c']] }, error: /"controls"\[0\] must be a pair/ },
    { name: 'a control as an object', record: { ...valid, controls: [{ keys: 'A', action: 'b' }] }, error: /"controls"\[0\] must be an array/ },
    { name: 'a control with a number', record: { ...valid, controls: [['A', 'b'], [1, 'b']] }, error: /"controls"\[1\]\[0\] must be a non-empty string/ },
    { name: 'multiplayer without a tagline', record: { ...valid, multiplayer: { soloLabel: 'x' } }, error: /"multiplayer"."tagline" .*missing/ },
    { name: 'a solo label that is no text', record: { ...valid, multiplayer: { tagline: 't', soloLabel: 3 } }, error: /"multiplayer"."soloLabel"/ },
    { name: 'no gradient colours', record: withCard({ gradient: [] }), error: /"card"."gradient" needs at least one colour/ },
    { name: 'a colour name', record: withCard({ gradient: ['red'] }), error: /"card"."gradient"\[0\] must be a colour of six hex digits/ },
    { name: 'a short hex colour', record: withCard({ gradient: ['#102030', '#fff'] }), error: /"card"."gradient"\[1\]/ },
    { name: 'a colour with alpha', record: withCard({ gradient: ['#10203040'] }), error: /"card"."gradient"\[0\]/ },
    { name: 'no glyph', record: { ...valid, card: without('glyph', valid.card) }, error: /"card"."glyph" .*missing/ },
    { name: 'an empty glyph', record: withCard({ glyph: [] }), error: /"card"."glyph" needs at least one row/ },
    { name: 'a glyph row that is no text', record: withCard({ glyph: ['ab', 3] }), error: /"card"."glyph"\[1\] must be a string/ },
    { name: 'a palette key of two characters', record: withCard({ palette: { ab: '#ff0000' } }), error: /"card"."palette"."ab" must be keyed by a single character/ },
    { name: 'a palette colour for "#"', record: withCard({ palette: { '#': '#ff0000' } }), error: /"#" always draws white/ },
    { name: 'a palette colour that is no hex', record: withCard({ palette: { a: 'blue' } }), error: /"card"."palette"."a" must be a colour/ },
  ];
  for (const { name, record, error } of refused) {
    test(`refuses ${name}`, () => {
      const read = validateGameRecord(record);
      assert.ok(!read.ok, 'refused');
      assert.match(read.error, error);
      assert.ok(!read.error.includes('\n'), 'one line');
    });
  }
});

describe('readGameRecord', () => {
  let scratch = '';
  before(async () => {
    scratch = await mkdtemp(path.join(tmpdir(), 'catalog-record-'));
  });
  after(() => rm(scratch, { recursive: true, force: true }));

  // A games folder holding one game folder `folder` with the given game.json text and entry file.
  async function gamesWith(folder: string, gameJson: string | null, entry: string | null = `${folder}/main.ts`): Promise<string> {
    const dir = await mkdtemp(path.join(scratch, 'games-'));
    await mkdir(path.join(dir, folder));
    if (gameJson !== null) await writeFile(path.join(dir, folder, 'game.json'), gameJson);
    if (entry !== null) await writeFile(path.join(dir, entry), 'export {};\n');
    return dir;
  }

  test('reads a valid record whose id names its folder', async () => {
    const read = await readGameRecord(await gamesWith('demo', JSON.stringify(valid)), 'demo');
    assert.ok(read.ok, read.ok ? '' : read.error);
    assert.equal(read.record.id, 'demo');
  });

  const failures: { name: string; folder: string; gameJson: string | null; entry?: string | null; error: RegExp }[] = [
    { name: 'a missing game.json', folder: 'demo', gameJson: null, error: /^games\/demo\/game.json is missing$/ },
    { name: 'a game.json that is not JSON', folder: 'demo', gameJson: '{"id": "demo",', error: /^games\/demo\/game.json is not valid JSON/ },
    { name: 'an invalid record', folder: 'demo', gameJson: JSON.stringify({ ...valid, section: 'games' }), error: /^games\/demo\/game.json: "section"/ },
    { name: 'an id that differs from the folder', folder: 'other', gameJson: JSON.stringify(valid), entry: 'other/main.ts', error: /"id" must be the folder name "other" \(got "demo"\)/ },
    { name: 'an id that differs only in case', folder: 'Demo', gameJson: JSON.stringify(valid), entry: 'Demo/main.ts', error: /"id" must be the folder name "Demo"/ },
    { name: 'an entry file outside the folder', folder: 'demo', gameJson: JSON.stringify({ ...valid, entryFile: 'demo/../main.ts' }), entry: 'main.ts', error: /"entryFile" must lie in the game's folder/ },
    { name: 'an absolute entry file', folder: 'demo', gameJson: JSON.stringify({ ...valid, entryFile: '/demo/main.ts' }), error: /"entryFile" must lie in the game's folder/ },
    { name: 'an entry file that does not exist', folder: 'demo', gameJson: JSON.stringify(valid), entry: null, error: /"entryFile" "demo\/main.ts" does not exist/ },
  ];
  for (const { name, folder, gameJson, entry, error } of failures) {
    test(`fails on ${name}`, async () => {
      const read = await readGameRecord(await gamesWith(folder, gameJson, entry === undefined ? `${folder}/main.ts` : entry), folder);
      assert.ok(!read.ok, 'fails');
      assert.match(read.error, error);
    });
  }
});
