// The shell's face, all that a front-end sees of the core: start-up and tear-down, and the
// one message handler that every front-end feeds with its menu commands, keys and paints.
// What stands behind it (the screen, the viewer) stays out of the front-ends' sight.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/frontend.h"
#include "app/resource_ids.h"
#include "display/screen_rect.h"

// Messages, numbered as their Win32 counterparts so that a window procedure passes them on.
enum ShellMessage : uint32_t {
    MSG_DESTROY = 0x0002,
    MSG_PAINT = 0x000F,
    MSG_KEYDOWN = 0x0100,  // wParam: one of the keys below
    MSG_COMMAND = 0x0111,  // low 16 bits of wParam: CMD_OPEN or CMD_EXIT
    MSG_SHOW_FRAME = 0x8001,  // lParam: a ShowFrameRequest (a program's own, past WM_APP)
};

// The six keys, as Win32 virtual-key codes.
enum ShellKey : uint32_t {
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_ADD = 0x6B,       // keypad plus only
    KEY_SUBTRACT = 0x6D,  // keypad minus only
};

// MSG_PAINT's lParam: the shell writes the colours of `rect` into `pixels` (the pixel at
// rect.left, rect.top), rows `stride` pixels apart, as Screen::Compose does.
struct PaintRequest {
    ScreenRect rect;
    uint32_t* pixels = nullptr;
    size_t stride = 0;
};

// MSG_SHOW_FRAME's lParam: shows costume `costume`, frame `frame`, zoomed or not, as the
// arrow and keypad keys would have brought them on the screen, without loading every
// costume on the way (a game may hold 65,535). Each failure is reported as the keys would
// report it. The shell answers below what the screen then shows.
struct ShowFrameRequest {
    uint32_t costume = 1;
    uint16_t frame = 1;
    bool zoom = false;

    bool gameOpen = false;      // false: no game is open, and nothing was done
    uint32_t costumeCount = 0;  // entries of the game's costume directory
    bool costumeLoaded = false;  // false: the status line says why (or nothing is shown)
    uint32_t frameCount = 0;     // of the costume, when it is loaded
};

// Creates and clears the screen and shows "Please open a file."; call it once the window
// exists. False (exit code 1) when the screen cannot be created.
bool ShellStart();
// True when handled; false means the front-end's default processing applies.
bool ShellHandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// After the message loop: releases the viewer, then the screen.
void ShellStop();
