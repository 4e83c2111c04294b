#pragma once
// The match's own benchmarks: a tick, a snapshot and restore, a rollback.
class benchScene;

// Registers them over the training's content of `scene` (the partner is
// added when missing); `scene` must stay alive while they run.
void registerMatchBenchmarks(benchScene& scene);
