// The worker loop of the census's driver, which the census, --verify and --find share: the work
// cut into chunks that threads take in turn, progress reported from the calling thread, and a
// stop asked for from outside. It knows nothing of what a chunk holds.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

struct ChunkedWork {
  uint64_t total = 0;  // items of work
  uint64_t chunk = 1;  // items a worker takes at a time
  unsigned threads = 1;
  const std::atomic<bool>* stop = nullptr;  // no new chunk is taken once it is set
  // Called on the calling thread about ten times a second with progressScale times the share
  // done, and with progressScale at the end unless stopped.
  std::function<void(double)> progress;
  double progressScale = 1.0;
};

// Workers for `requested` threads: at least one, and no more than there are chunks.
unsigned WorkerCount(unsigned requested, uint64_t total, uint64_t chunk);

struct ChunksDone {
  uint64_t done = 0;         // items of the chunks finished
  bool interrupted = false;  // stopped, or not every chunk finished
};

// Calls work(worker, begin, count) for every chunk, from WorkerCount() threads; `worker` numbers
// the thread (0..threads-1), so each can keep its own figures.
ChunksDone RunChunks(
    const ChunkedWork& plan,
    const std::function<void(unsigned worker, uint64_t begin, uint64_t count)>& work);
