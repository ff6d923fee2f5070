#pragma once

// The program's single instances live for the whole test process, so each test puts
// the state that the suites share back before it starts.
class EstadoPadrao {
public:
    // Sequencer stopped at 120 BPM with no loop and no play-along, every track shown;
    // no window receives the engine's news; no song; every channel enabled.
    static void restaurar();
};
