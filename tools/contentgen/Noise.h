#pragma once
#include <cstdint>

namespace Orvanta {

// Value noise on an integer lattice that repeats every `period` cells, so textures built from
// it tile seamlessly. Coordinates are in lattice cells; results lie in [0, 1].
float tileableNoise(float x, float y, int period, uint32_t seed);
// The same with separate periods along x and y, for stretched patterns (grain, bark).
float tileableNoise(float x, float y, int periodX, int periodY, uint32_t seed);

// Sum of `octaves` noise layers, each at twice the frequency and half the amplitude of the last,
// normalised to [0, 1]. `period` is the lattice period of the first octave.
float tileableFbm(float x, float y, int period, int octaves, uint32_t seed);
float tileableFbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);

// Distance from (x, y) to the nearest of one jittered feature point per cell, on a lattice that
// repeats every `period` cells (cobbles, leaf spots). Also returns the nearest cell's hash.
float tileableCellular(float x, float y, int period, uint32_t seed, uint32_t* cellHash = nullptr);

// Hash of integer coordinates, used for per-brick or per-plank colour variation.
uint32_t hashCoordinates(int x, int y, uint32_t seed);
float hashToUnit(uint32_t h);

// Non-repeating smooth noise for geometry (terrain heights): value noise in [0, 1].
float smoothNoise(float x, float y, uint32_t seed);

}  // namespace Orvanta
