#include "chunked_work.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

unsigned WorkerCount(unsigned requested, uint64_t total, uint64_t chunk) {
  uint64_t chunks = (total + chunk - 1) / chunk;
  return static_cast<unsigned>(std::max<uint64_t>(1, std::min<uint64_t>(requested, chunks)));
}

ChunksDone RunChunks(
    const ChunkedWork& plan,
    const std::function<void(unsigned worker, uint64_t begin, uint64_t count)>& work) {
  uint64_t chunks = (plan.total + plan.chunk - 1) / plan.chunk;
  unsigned threads = WorkerCount(plan.threads, plan.total, plan.chunk);
  std::atomic<uint64_t> nextChunk{0}, done{0};
  std::atomic<bool> abandoned{false};
  auto stopped = [&] {
    return abandoned.load(std::memory_order_relaxed) ||
           (plan.stop && plan.stop->load(std::memory_order_relaxed));
  };
  auto worker = [&](unsigned index) {
    for (;;) {
      uint64_t chunk = nextChunk.fetch_add(1);
      if (chunk >= chunks || stopped()) return;
      uint64_t begin = chunk * plan.chunk, count = std::min(plan.chunk, plan.total - begin);
      work(index, begin, count);
      done.fetch_add(count);
    }
  };
  std::vector<std::thread> workers;
  try {
    for (unsigned index = 0; index < threads; ++index) workers.emplace_back(worker, index);
  } catch (...) {
    // A thread that cannot start (no memory left for its stack) ends the run with its error; the
    // ones started stop at their next chunk first.
    abandoned.store(true);
    for (std::thread& thread : workers) thread.join();
    throw;
  }
  while (plan.progress && done.load() < plan.total && !stopped()) {
    double share = static_cast<double>(done.load()) / static_cast<double>(plan.total);
    plan.progress(plan.progressScale * share);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  for (std::thread& thread : workers) thread.join();
  if (plan.progress && !stopped()) plan.progress(plan.progressScale);
  return {done.load(), stopped() || done.load() < plan.total};
}
