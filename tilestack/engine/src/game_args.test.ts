import assert from 'node:assert/strict';
import { test } from 'node:test';
import { checkSoloOnlyArgs, roomCodeOf } from './game_args.ts';

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

test('only ("join", code) names a room', () => {
  const cases: { args: string[]; code: string | null }[] = [
    { args: ['join', 'swift-falcon-42'], code: 'swift-falcon-42' },
    { args: ['join', ''], code: null },
    { args: ['join'], code: null },
    { args: ['join', 'swift-falcon-42', 'extra'], code: null },
    { args: ['host', 'swift-falcon-42'], code: null },
    { args: ['solo'], code: null },
    { args: [], code: null },
  ];
  for (const { args, code } of cases) assert.equal(roomCodeOf(args), code, args.join(' '));
});
