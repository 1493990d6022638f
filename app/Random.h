#ifndef MORVALETH_APP_RANDOM_H
#define MORVALETH_APP_RANDOM_H

/// A uniform draw in 0..n-1 from the game's one generator; 0, with an Error, when n < 1.
int mtrand_n(int n);

/// A uniform draw in 0..65535 from the game's one generator, the draw mtrand_n scales.
int mtrand_raw();

/// Scales a 16-bit draw r (0..65535) to 0..n-1 for n >= 1.
int ScaleDraw(int r, int n);

/// Restarts the game's generator from a fixed seed, so that a run can be replayed.
void SeedRandom(unsigned seed);

#endif
