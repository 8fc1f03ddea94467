import assert from 'node:assert/strict';
import { test } from 'node:test';
import { parseKeyEvent, parseMouseEvent } from './keyhark_events.ts';

test('mouse lines: events of every type, with a target only when there is one; anything else dropped', () => {
  const cases: Array<[string, unknown]> = [
    ['{"type":"click","x":1369,"y":72,"target":"\\/Users\\/a\\/Desktop\\/a.txt"}', { type: 'click', x: 1369, y: 72, target: '/Users/a/Desktop/a.txt' }],
    ['{"type":"drag","x":1079.3333333333335,"y":214.5}', { type: 'drag', x: 1079.3333333333335, y: 214.5 }],
    ['{"y":-3,"x":0,"type":"rightclick"}', { type: 'rightclick', x: 0, y: -3 }],
    ...['mousedown', 'mouseup', 'dragstart', 'dragend'].map((type): [string, unknown] => [`{"type":"${type}","x":1,"y":2}`, { type, x: 1, y: 2 }]),
    ['{"type":"hover","x":1,"y":2}', null],
    ['{"type":"click","x":"1","y":2}', null],
    ['{"type":"click","x":1}', null],
    ['{"type":"click","x":1,"y":null}', null],
    ['{"type":"click","x":1,"y":2,"target":7}', null],
    ['[1,2]', null],
    ['MOUSE_CAPTURE on', null],
    ['', null],
  ];
  for (const [line, event] of cases) assert.deepEqual(parseMouseEvent(line), event, line);
});

test('key lines: key code and characters; anything else dropped', () => {
  const cases: Array<[string, unknown]> = [
    ['{"type":"keydown","keyCode":0,"char":"a"}', { keyCode: 0, char: 'a' }],
    ['{"char":"","keyCode":123,"type":"keydown"}', { keyCode: 123, char: '' }],
    ['{"type":"keyup","keyCode":0,"char":"a"}', null],
    ['{"type":"keydown","keyCode":1.5,"char":"a"}', null],
    ['{"type":"keydown","keyCode":-1,"char":"a"}', null],
    ['{"type":"keydown","keyCode":0}', null],
    ['not json', null],
  ];
  for (const [line, event] of cases) assert.deepEqual(parseKeyEvent(line), event, line);
});
