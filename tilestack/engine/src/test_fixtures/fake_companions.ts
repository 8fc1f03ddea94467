// Stand-ins for Sonette and Keyhark, and a starter that hands out fakes of all three
// companions, for tests of the whole run.

import { CompanionError, type IconController, type MouseEvent, type MouseListener, type SoundPlayer } from '../companions/contracts.ts';
import type { CompanionStarter, GoneListener } from '../companion_starter.ts';
import { FakeIcons } from './fake_icons.ts';

export class FakeSounds implements SoundPlayer {
  readonly calls: string[] = [];
  load(path: string): void {
    this.calls.push(`load ${path}`);
  }
  play(path: string): void {
    this.calls.push(`play ${path}`);
  }
  loop(id: string, path: string): void {
    this.calls.push(`loop ${id} ${path}`);
  }
  stopLoop(id: string): void {
    this.calls.push(`stopLoop ${id}`);
  }
  stopAll(): void {
    this.calls.push('stopAll');
  }
  async stop(): Promise<void> {
    this.calls.push('stop');
  }
}

export class FakeMouse implements MouseListener {
  readonly calls: string[] = [];
  #listeners: ((event: MouseEvent) => void)[] = [];
  onMouse(listener: (event: MouseEvent) => void): void {
    this.#listeners.push(listener);
  }
  captureDesktopDrags(on: boolean): Promise<void> {
    this.calls.push(`captureDesktopDrags ${on}`);
    return Promise.resolve();
  }
  async stop(): Promise<void> {
    this.calls.push('stop');
  }
  emit(event: MouseEvent): void {
    for (const listener of this.#listeners) listener(event);
  }
}

export interface FakeCompanions {
  icons: FakeIcons;
  sounds: FakeSounds;
  mouse: FakeMouse;
  // Which companions refuse to start.
  failing: Set<CompanionError['companion']>;
  // Ends a started companion as if it died.
  kill(companion: CompanionError['companion']): void;
  started: string[];
  starter: CompanionStarter;
}

export function fakeCompanions(): FakeCompanions {
  const icons = new FakeIcons();
  const sounds = new FakeSounds();
  const mouse = new FakeMouse();
  const failing = new Set<CompanionError['companion']>();
  const gone = new Map<string, GoneListener>();
  const started: string[] = [];
  async function start<T>(companion: CompanionError['companion'], value: T, onGone: GoneListener): Promise<T> {
    if (failing.has(companion)) throw new CompanionError(companion, 'start', 'cannot start /nowhere: not found');
    started.push(companion);
    gone.set(companion, onGone);
    return value;
  }
  return {
    icons,
    sounds,
    mouse,
    failing,
    started,
    kill: (companion) => gone.get(companion)?.(new CompanionError(companion, 'exited', 'ended (killed by SIGKILL)')),
    starter: {
      icons: (onGone) => start<IconController>('Glyphon', icons, onGone),
      sounds: (onGone) => start<SoundPlayer>('Sonette', sounds, onGone),
      mouse: (onGone) => start<MouseListener>('Keyhark', mouse, onGone),
    },
  };
}
