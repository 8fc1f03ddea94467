import { test } from 'node:test';
import assert from 'node:assert/strict';
import { CompanionError } from './companions/contracts.ts';
import { DesktopSettings } from './desktop_settings.ts';
import { FakeIcons } from './test_fixtures/fake_icons.ts';

function setUp(finder: Partial<FakeIcons['finder']> = {}) {
  const icons = new FakeIcons();
  Object.assign(icons.finder, finder);
  const log: string[] = [];
  return { icons, log, settings: new DesktopSettings(icons, (line) => log.push(line)) };
}

const writes = ['iconSizeSet', 'gridArrangementSet', 'desktopLabelsSet'];

test('the board’s settings are set and exactly the changed ones put back', async () => {
  const cases = [
    {
      finder: { iconSize: 48, arrangement: 'name', labelsVisible: true },
      applied: [['iconSizeSet', 64], ['gridArrangementSet', 'not arranged'], ['desktopLabelsSet', false]],
      restored: [['desktopLabelsSet', true], ['gridArrangementSet', 'name'], ['iconSizeSet', 48]],
    },
    {
      finder: { iconSize: 64, arrangement: 'not arranged', labelsVisible: false },
      applied: [],
      restored: [],
    },
    {
      finder: { iconSize: 64, arrangement: 'snap to grid', labelsVisible: false },
      applied: [['gridArrangementSet', 'not arranged']],
      restored: [['gridArrangementSet', 'snap to grid']],
    },
  ];
  for (const { finder, applied, restored } of cases) {
    const { icons, settings } = setUp(finder);
    await settings.apply(64);
    const setCalls = (): unknown[][] => icons.calls.filter((call) => writes.includes(call.method)).map((call) => [call.method, ...call.args]);
    assert.deepEqual(setCalls(), applied, JSON.stringify(finder));
    icons.calls.length = 0;
    assert.deepEqual(await settings.restore(), []);
    assert.deepEqual(setCalls(), restored, JSON.stringify(finder));
    assert.deepEqual(icons.finder, { ...icons.finder, ...finder });
    // A second restore has nothing left to do.
    icons.calls.length = 0;
    await settings.restore();
    assert.deepEqual(icons.calls, []);
  }
});

test('Finder reporting another size than asked is logged', async () => {
  const { icons, log, settings } = setUp({ iconSize: 48 });
  icons.iconSizeSet = async () => 60;
  await settings.apply(64);
  assert.ok(log.some((line) => /60 instead of 64/.test(line)), log.join('\n'));
});

test('an unreadable setting is left alone; a refused change is still put back', async () => {
  const { icons, log, settings } = setUp({ iconSize: 48, arrangement: 'kind', labelsVisible: true });
  icons.failWith('gridArrangement', () => new CompanionError('Glyphon', 'refused', 'Finder got an error'));
  icons.failWith('desktopLabelsSet', ([visible]) => (visible === false ? new CompanionError('Glyphon', 'timeout', 'no answer') : null));
  await settings.apply(64);
  assert.equal(icons.callsOf('gridArrangementSet').length, 0);
  assert.equal(log.length, 2, log.join('\n'));

  icons.calls.length = 0;
  assert.deepEqual(await settings.restore(), []);
  assert.deepEqual(icons.callsOf('desktopLabelsSet'), [[true]]);
  assert.deepEqual(icons.callsOf('iconSizeSet'), [[48]]);
});

test('a Glyphon that is gone ends the apply; what failed to go back is reported', async () => {
  const { icons, settings } = setUp({ iconSize: 48, labelsVisible: true });
  const gone = new CompanionError('Glyphon', 'exited', 'ended with status 1');
  icons.failWith('gridArrangement', () => gone);
  await assert.rejects(settings.apply(64), (error) => error === gone);

  icons.failWith('iconSizeSet', () => gone);
  const problems = await settings.restore();
  assert.equal(problems.length, 1);
  assert.match(problems[0] ?? '', /icon size back: Glyphon: ended with status 1/);
});
