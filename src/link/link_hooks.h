// What the link layer calls in the layers above it. Core installs them when
// the main window is created and removes them with it; all are null before.
#pragma once

#include <cstddef>
#include <cstdint>

struct LinkHookSet {
    // A frame starts going out on a line; the main window lights Tx.
    void (*transmitLamp)() = nullptr;
    // A frame stays queued after QueueFrame, so the owner drains it later.
    void (*transmitPending)() = nullptr;
    // A slot was lost or reopened.
    void (*portState)(int slot) = nullptr;
    // A command was queued for the slot: its message (id first, unstuffed) and length.
    void (*frameQueued)(int slot, const uint8_t* message, size_t length) = nullptr;
};

// The program's one set; LinkHooks() = {} removes them all.
LinkHookSet& LinkHooks();
