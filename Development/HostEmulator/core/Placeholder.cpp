// Replaced by the emulator's implementation.
