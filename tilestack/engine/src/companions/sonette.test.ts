import assert from 'node:assert/strict';
import { describe, test, type TestContext } from 'node:test';
import { Puppet } from '../testing/puppet.ts';
import { SonetteClient } from './sonette.ts';

async function startSonette(t: TestContext): Promise<{ sonette: SonetteClient; puppet: Puppet }> {
  const puppet = await Puppet.create();
  t.after(() => puppet.close());
  const starting = SonetteClient.start(puppet.program, { env: puppet.env() });
  await puppet.started();
  puppet.stdout('READY');
  const sonette = await starting;
  t.after(() => sonette.stop());
  return { sonette, puppet };
}

describe('SonetteClient', () => {
  test('writes one command line per call', async (t) => {
    const { sonette, puppet } = await startSonette(t);
    const cases: Array<[(player: SonetteClient) => void, object]> = [
      [(player) => player.load('/s/ping.wav'), { type: 'load', path: '/s/ping.wav' }],
      [(player) => player.play('/s/ping.wav'), { type: 'play', path: '/s/ping.wav' }],
      [(player) => player.play('/s/ping.wav', 0.5), { type: 'play', path: '/s/ping.wav', volume: 0.5 }],
      [(player) => player.loop('music', '/s/tune.wav', 0.25), { type: 'loop', id: 'music', path: '/s/tune.wav', volume: 0.25 }],
      [(player) => player.stopLoop('music'), { type: 'stop', id: 'music' }],
      [(player) => player.stopAll(), { type: 'stop_all' }],
    ];
    for (const [call, line] of cases) {
      call(sonette);
      assert.deepEqual(JSON.parse(await puppet.nextInput()), line);
    }
  });

  test('stop says EXIT; commands after Sonette ended are dropped', async (t) => {
    const { sonette, puppet } = await startSonette(t);
    const ended = new Promise((resolve) => sonette.onExit(resolve));
    const stopping = sonette.stop();
    assert.equal(await puppet.nextInput(), 'EXIT');
    puppet.exit(0);
    await stopping;
    assert.deepEqual(await ended, { code: 0, signal: null });
    sonette.play('/s/ping.wav');
  });

  test('an exit before READY is a start error', async (t) => {
    const puppet = await Puppet.create();
    t.after(() => puppet.close());
    const starting = SonetteClient.start(puppet.program, { env: puppet.env() });
    await puppet.started();
    puppet.stderr('no audio device');
    puppet.exit(1);
    await assert.rejects(starting, { kind: 'start', message: /^Sonette: did not start: ended \(exit status 1\) before it wrote READY line.*no audio device/ });
  });
});
