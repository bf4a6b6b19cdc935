// The one place where Image buffers are made and freed, so that any code that hands a buffer
// to an Image (a copied picture, say) makes it the way the Image will free it.
#pragma once

#include <cstddef>
#include <cstdint>

// A zero-filled block of `bytes` bytes (a valid block even for 0), or nullptr on failure.
uint8_t* allocBuffer(size_t bytes);
// Frees a block from allocBuffer; nullptr is ignored.
void freeBuffer(uint8_t* buffer);

// Test hooks, for the out-of-memory paths and leak checks; the program never calls them.
// After `count` more successful allocBuffer calls the next one returns nullptr, once; a
// negative count switches the failure off (the state at start).
void setAllocationFailureCountdown(long count);
// True once the countdown has made an allocation fail; cleared by the next countdown set.
bool allocationFailureHappened();
// Blocks made by allocBuffer and not yet freed.
long liveBufferCount();
// Larger blocks than `bytes` are refused, as a machine without the memory would refuse them
// (the fuzz targets keep each input quick this way); SIZE_MAX, the start, refuses none.
void setLargestBuffer(size_t bytes);
