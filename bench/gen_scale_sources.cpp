// Writes the sources of the scaling benchmarks into a folder (bench/run.sh):
//   vars.pas    N variables in one scope
//   procs.pas   N procedures in one scope
//   chain/main.pas and chain/d1.pas .. dD.pas: units in a chain, each using the next twice,
//               the shape that would read the last unit 2^D times if units were not shared.
//
//   kv_gen_scale_sources FOLDER [N] [D]     (defaults 40000 and 30)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

void WriteDeclarations(const fs::path& file, int count, bool procedures) {
  std::ofstream out(file);
  if (!procedures) out << "var\n";
  for (int i = 0; i < count; ++i) {
    if (procedures)
      out << "procedure P" << i << ";\nbegin\nend;\n";
    else
      out << "  V" << i << ": Integer;\n";
  }
  out << "begin\nend.\n";
}

void WriteChain(const fs::path& folder, int depth) {
  fs::create_directories(folder);
  auto uses = [](int unit) {
    const std::string name = "d" + std::to_string(unit) + ".pas";
    return "uses '" + name + "', '" + name + "';\n";
  };
  std::ofstream(folder / "main.pas") << uses(1) << "begin\nend.\n";
  for (int i = 1; i <= depth; ++i) {
    std::ofstream unit(folder / ("d" + std::to_string(i) + ".pas"));
    if (i < depth) unit << uses(i + 1);
    unit << "var X" << i << ": Integer;\nbegin\nend.\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kv_gen_scale_sources FOLDER [DECLARATIONS] [CHAIN_DEPTH]\n");
    return 3;
  }
  const fs::path folder = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 40000;
  const int depth = argc > 3 ? std::atoi(argv[3]) : 30;
  fs::create_directories(folder);
  WriteDeclarations(folder / "vars.pas", count, false);
  WriteDeclarations(folder / "procs.pas", count, true);
  WriteChain(folder / "chain", depth);
  return 0;
}
