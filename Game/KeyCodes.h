#pragma once

namespace Game::KeyCode {

// Virtual-key codes of the keys the shell and the demo react to. They index
// the key arrays of the input state; the windowing layer translates its own
// key codes into these.
const int Shift = 16;
const int Ctrl = 17;
const int Escape = 27;
const int Space = 32;
const int Left = 37;
const int Up = 38;
const int Right = 39;
const int Down = 40;
const int Digit0 = 48;
const int A = 65;
const int B = 66;
const int C = 67;
const int F = 70;
const int G = 71;
const int H = 72;
const int L = 76;
const int M = 77;
const int P = 80;
const int R = 82;
const int Z = 90;
const int KeypadPlus = 107;
const int KeypadMinus = 109;
const int F1 = 112;
const int F3 = 114;
const int F4 = 115;
const int F5 = 116;
const int F12 = 123;
const int Plus = 187;
const int Minus = 189;

// Number of entries of each key array.
const int Count = 256;

} // namespace Game::KeyCode
