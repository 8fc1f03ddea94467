// The client of Sonette, the audio controller. Sonette answers nothing after READY: every
// command is written and forgotten, and a command Sonette cannot carry out does nothing.

import type { SoundPlayer } from './contracts.ts';
import { asStartError, LineProcess, type ExitStatus } from './line_process.ts';

export interface SonetteOptions {
  env: NodeJS.ProcessEnv;
  // For READY.
  startTimeoutMs?: number;
  // How long Sonette may take to end after "EXIT" before it is killed.
  stopTimeoutMs?: number;
}

type AudioCommand =
  | { type: 'play'; path: string; volume?: number }
  | { type: 'loop'; id: string; path: string; volume?: number }
  | { type: 'stop'; id: string }
  | { type: 'stop_all' }
  | { type: 'load'; path: string };

const defaults = { startTimeoutMs: 10_000, stopTimeoutMs: 3_000 };

export class SonetteClient implements SoundPlayer {
  static async start(path: string, options: SonetteOptions): Promise<SonetteClient> {
    const process = LineProcess.spawn({ companion: 'Sonette', path, env: options.env });
    try {
      await process.waitForLine('stdout', (line) => line === 'READY', options.startTimeoutMs ?? defaults.startTimeoutMs, 'READY line');
    } catch (error) {
      await process.stop({ signal: 'SIGKILL', deadlineMs: defaults.stopTimeoutMs });
      throw asStartError('Sonette', error);
    }
    return new SonetteClient(process, options.stopTimeoutMs ?? defaults.stopTimeoutMs);
  }

  private constructor(
    private readonly process: LineProcess,
    private readonly stopTimeoutMs: number,
  ) {}

  // Decodes the file now, so that its first play starts at once.
  load(path: string): void {
    this.send({ type: 'load', path });
  }

  // Plays the file once; volume 0 to 1 (more amplifies), 1 when absent.
  play(path: string, volume?: number): void {
    this.send({ type: 'play', path, volume });
  }

  // Starts the loop named `id`, replacing one of that name.
  loop(id: string, path: string, volume?: number): void {
    this.send({ type: 'loop', id, path, volume });
  }

  stopLoop(id: string): void {
    this.send({ type: 'stop', id });
  }

  stopAll(): void {
    this.send({ type: 'stop_all' });
  }

  onExit(listener: (status: ExitStatus) => void): void {
    this.process.onExit(listener);
  }

  async stop(): Promise<void> {
    await this.process.stop({ word: 'EXIT', deadlineMs: this.stopTimeoutMs });
  }

  // Sounds are not worth failing a game for: after Sonette ended, commands are dropped.
  private send(command: AudioCommand): void {
    this.process.writeLine(JSON.stringify(command));
  }
}
