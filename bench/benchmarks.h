#pragma once
// The benchmarks of fightscene-bench, registered by registerBenchmarks over
// one scene started beforehand.
class benchScene;

// Registers every benchmark over `scene`, which must stay alive while they run.
void registerBenchmarks(benchScene& scene);
// Removes what the benchmarks wrote to disk; after they ran.
void finishBenchmarks();
