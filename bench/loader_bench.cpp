// Loading the full-screen intro picture, against reading its bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "assets/bitmap_loader.h"
#include "bench/bench_setup.h"
#include "platform/headless/headless.h"

namespace {

void load_intro(benchmark::State& state) {
  headless::reset();
  headless::set_file_directory(bench_setup::image_dir());
  BitmapImage image{};
  for (auto _ : state) {
    if (!bmp_load(image, "intro.bmp")) return state.SkipWithError(bmp_failure_reason());
    benchmark::DoNotOptimize(image.pixels);
    bmp_unload(image);
  }
}
BENCHMARK(load_intro)->Unit(benchmark::kMicrosecond);

// The same file read whole into a fresh buffer, and let go.
void read_intro_bytes(benchmark::State& state) {
  const std::string path = bench_setup::image_dir() + "/intro.bmp";
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return state.SkipWithError("no intro.bmp");
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    auto* bytes = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(size)));
    const std::size_t read = std::fread(bytes, 1, static_cast<std::size_t>(size), file);
    std::fclose(file);
    benchmark::DoNotOptimize(read);
    benchmark::DoNotOptimize(bytes);
    std::free(bytes);
  }
}
BENCHMARK(read_intro_bytes)->Unit(benchmark::kMicrosecond);

}  // namespace
