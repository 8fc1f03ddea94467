import assert from 'node:assert/strict';
import { test } from 'node:test';
import { checkSoloOnlyArgs } from './solo_args.ts';

test('a solo-only game takes no arguments or "solo", and names anything else it was given', () => {
  const cases: { args: string[]; refusal: string | null }[] = [
    { args: [], refusal: null },
    { args: ['solo'], refusal: null },
    { args: ['solo', 'solo'], refusal: 'snake is played solo only, but was started with solo solo.' },
    { args: ['join', 'ABCD'], refusal: 'snake is played solo only, but was started with join ABCD.' },
    { args: ['Solo'], refusal: 'snake is played solo only, but was started with Solo.' },
  ];
  for (const { args, refusal } of cases) assert.equal(checkSoloOnlyArgs('snake', args), refusal, args.join(' '));
});
