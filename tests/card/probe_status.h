#pragma once
// The exit statuses of the probe programs, read by the tests that start them.

// ati_probe: whether the stream could be built.
constexpr int kStreamBuilt = 0;
constexpr int kLibraryNotLoaded = 1;
constexpr int kOtherFailure = 2;

// factory_probe: the model identified, plus where the factory stopped.
constexpr int kBothObjectsMade = 0;
constexpr int kRefusedAsUnknown = 100;
constexpr int kAmdLibraryMissing = 200;
constexpr int kUnexpectedFailure = 255;
