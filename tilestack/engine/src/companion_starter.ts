// Starting the companion programs the engine needs: Glyphon for the tiles, Sonette for the
// sounds, and Keyhark in mouse mode for games played by clicking. Keys come from Deskplay's
// input socket instead, so Keyhark's keyboard mode is not used.

import { CompanionError, type IconController, type MouseListener, type SoundPlayer } from './companions/contracts.ts';
import { GlyphonClient } from './companions/glyphon.ts';
import { KeyharkClient } from './companions/keyhark.ts';
import { describeExit, type ExitStatus } from './companions/line_process.ts';
import { locateCompanions, type CompanionPaths } from './companions/locate.ts';
import { SonetteClient } from './companions/sonette.ts';

// Told when a started companion ends (also when the engine stops it).
export type GoneListener = (error: CompanionError) => void;

export interface CompanionStarter {
  icons(onGone: GoneListener): Promise<IconController>;
  sounds(onGone: GoneListener): Promise<SoundPlayer>;
  mouse(onGone: GoneListener): Promise<MouseListener>;
}

// The real programs, from the paths Deskplay gives or a build next to the checkout.
export function programCompanions(env: NodeJS.ProcessEnv, gameFolder: string): CompanionStarter {
  const located = locateCompanions(env, gameFolder);
  const pathOf = (companion: CompanionError['companion'], key: keyof CompanionPaths): string => {
    if (!located.ok) throw new CompanionError(companion, 'start', located.error.message);
    return located.paths[key];
  };
  const goneWith = (companion: CompanionError['companion'], onGone: GoneListener) => (status: ExitStatus) =>
    onGone(new CompanionError(companion, 'exited', `ended (${describeExit(status)})`));
  return {
    async icons(onGone) {
      const client = await GlyphonClient.start(pathOf('Glyphon', 'glyphon'), { env });
      client.onExit(goneWith('Glyphon', onGone));
      return client;
    },
    async sounds(onGone) {
      const client = await SonetteClient.start(pathOf('Sonette', 'sonette'), { env });
      client.onExit(goneWith('Sonette', onGone));
      return client;
    },
    async mouse(onGone) {
      const client = await KeyharkClient.start(pathOf('Keyhark', 'keyhark'), { env, mode: 'mouse' });
      client.onExit(goneWith('Keyhark', onGone));
      return client;
    },
  };
}
