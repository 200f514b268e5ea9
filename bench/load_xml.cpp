// Loads an XML document and prints how many items it has: run under kv_measure, it gives the
// memory a document of a given size takes (bench/run.sh).
//
//   kv_load_xml FILE
#include <cstdio>
#include <exception>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/file_routines.h"
#include "xml/kv_xml.h"

namespace {

long CountItems(const kv::TkvXMLItem& top) {
  long count = 0;
  std::vector<const kv::TkvXMLItem*> pending{&top};
  while (!pending.empty()) {
    const kv::TkvXMLItem* item = pending.back();
    pending.pop_back();
    ++count;
    pending.insert(pending.end(), item->Children().begin(), item->Children().end());
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kv_load_xml FILE\n");
    return 3;
  }
  try {
    kv::TkvXMLDocument document;
    document.LoadFromFile(kv::FileNameFromSystem(argv[1]));
    std::printf("%ld items\n", CountItems(*document.Root()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", kv::ToUtf8(kv::ExceptionMessage(e)).c_str());
    return 1;
  }
  return 0;
}
