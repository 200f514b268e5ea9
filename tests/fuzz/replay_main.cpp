// Replays kept fuzz inputs without libFuzzer, so that any compiler (and CI) checks that they
// still pass: every file named on the command line, or found directly in a folder named
// there, goes to the target's LLVMFuzzerTestOneInput in name order. A fault shows as the
// crash, sanitizer report or uncaught exception it would cause under the fuzzer; the name of
// the input being replayed is printed first so the report can be traced to it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

bool CollectInputs(const fs::path& arg, std::vector<fs::path>& inputs) {
  std::error_code ec;
  if (fs::is_regular_file(arg, ec)) {
    inputs.push_back(arg);
    return true;
  }
  if (!fs::is_directory(arg, ec)) return false;
  std::vector<fs::path> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(arg, ec))
    if (entry.is_regular_file(ec)) found.push_back(entry.path());
  std::sort(found.begin(), found.end());
  inputs.insert(inputs.end(), found.begin(), found.end());
  return true;
}

bool ReadBytes(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (!CollectInputs(argv[i], inputs)) {
      std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
      return 2;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs given\n");
    return 2;
  }
  for (const fs::path& input : inputs) {
    std::string bytes;
    if (!ReadBytes(input, bytes)) {
      std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
      return 2;
    }
    std::fprintf(stderr, "replay: %s\n", input.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
