#pragma once

// Qt 6.4's seeded string hash (every QHash and QSet keyed by text) leaves
// the upper halves of the AVX registers in use on processors that have them;
// until they are cleared, each SSE instruction of the program waits on them,
// and arithmetic loops run about six times slower. Long arithmetic that
// follows look-ups clears them first. Does nothing where there is no AVX.
void clearUpperVectorState();
