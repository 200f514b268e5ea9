#include "frontend/kv_il_units.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "frontend/kv_il_grammar.h"
#include "host/core/exceptions.h"
#include "host/core/file_routines.h"
#include "host/core/message_excerpt.h"
#include "host/core/text_file_limit.h"

namespace kv {

namespace fs = std::filesystem;

namespace {

constexpr const char16_t* kNoSuchFile = u"No such file or directory";

[[noreturn]] void CannotOpen(UStringView shownName, UStringView reason = kNoSuchFile) {
  throw EFOpenError(u"Cannot open file \"" + MessageExcerpt(shownName) + u"\". " + UString(reason));
}

// A name holding #0 gives an empty path, which names no file.
fs::path SystemPath(UStringView fileName) {
  return fs::path(SystemFileName(fileName).value_or(std::string()));
}

// Why a path cannot be read as a unit; empty for a regular file.
UString UnreadableReason(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return kNoSuchFile;
  if (fs::is_directory(status)) return u"Is a directory";
  if (!fs::is_regular_file(status)) return u"Not a regular file";
  return {};
}

// Beside the file that names the unit first, then relative to the current directory. When
// neither is a regular file, the error says why the first that exists is not.
fs::path LocateUnit(UStringView fileName, UStringView namingFile) {
  const fs::path name = SystemPath(fileName);
  if (name.empty()) CannotOpen(fileName);
  std::vector<fs::path> candidates;
  if (name.is_relative() && !namingFile.empty())
    candidates.push_back(SystemPath(namingFile).parent_path() / name);
  candidates.push_back(name);
  UString reason = kNoSuchFile;
  for (const fs::path& candidate : candidates) {
    const UString why = UnreadableReason(candidate);
    if (why.empty()) return candidate;
    if (reason == kNoSuchFile) reason = why;
  }
  CannotOpen(fileName, reason);
}

// The listed file name: the leaf's text without the quotes of the string token.
UString ListedFileName(const TkvXMLItem& listed) {
  UString text = listed.Prop(u"text");
  return text.size() >= 2 ? text.substr(1, text.size() - 2) : UString();
}

}  // namespace

UString ReadSourceFile(const std::string& path, UStringView shownName) {
  std::ifstream in(path, std::ios::binary);
  if (!in) CannotOpen(shownName);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec) CheckTextFileSize(shownName, static_cast<int64_t>(size));
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) CannotOpen(shownName);
  const UString decoded = DecodeTextFile(bytes);

  UString text;
  text.reserve(decoded.size() + decoded.size() / 16 + 2);
  std::size_t i = 0;
  while (i < decoded.size()) {
    std::size_t end = i;
    while (end < decoded.size() && decoded[end] != u'\r' && decoded[end] != u'\n') ++end;
    text.append(decoded, i, end - i);
    text += u"\r\n";
    if (end < decoded.size() && decoded[end] == u'\r' && end + 1 < decoded.size() &&
        decoded[end + 1] == u'\n')
      ++end;
    i = end + 1;
  }
  return text;
}

void TkvILUnitIncluder::IncludeUnits(TkvILForest& output, std::size_t firstItem,
                                     TkvSyntaxError& error, int depth) {
  std::size_t at = firstItem;
  while (output.size() > at) {
    std::unique_ptr<TkvXMLItem> listed = std::move(output.back());
    output.pop_back();
    std::unique_ptr<TkvXMLItem> block = parser_.IncludeUnit(*listed, error, depth);
    output.insert(output.begin() + std::ptrdiff_t(at), std::move(block));
    ++at;
  }
}

bool TkvILParser::IsInUseChain(const TkvFileIdentity& identity) const {
  for (const TkvFileIdentity& unit : UseChain())
    if (unit == identity) return true;
  return false;
}

// The units being parsed around this one, outermost first; for the main source, the file
// it was read from, when known.
std::vector<TkvFileIdentity> TkvILParser::UseChain() const {
  if (!useChain_.empty()) return useChain_;
  const std::optional<TkvFileIdentity> source =
      FileIdentityOf(SystemPath(sourceFileName_).string());
  if (!source) return {};
  return {*source};
}

std::unique_ptr<TkvXMLItem> TkvILParser::IncludeUnit(const TkvXMLItem& listed,
                                                     TkvSyntaxError& error, int depth) {
  const UString fileName = ListedFileName(listed);
  auto block =
      std::make_unique<TkvXMLItem>(u"uses", u"unit=\"" + EncodeAttrValue(fileName) + u"\"");
  const fs::path path = LocateUnit(fileName, sourceFileName_);
  const std::optional<TkvFileIdentity> found = FileIdentityOf(path.string());
  if (!found) CannotOpen(fileName);  // gone since it was located
  const TkvFileIdentity identity = *found;

  if (IsInUseChain(identity)) {
    error.Message = u"Circular unit reference: '" + MessageExcerpt(fileName) + u"'";
    error.Position = listed.Prop(u"pos");
    error.UnitName = unitName_;
    error.Term = false;
    error.Sticky = true;
    return block;
  }
  // Its declarations and main block are in the program already.
  if (includedUnits_->count(identity)) return block;

  // On the heap: a chain of units nests one parse in another.
  auto unit = std::make_unique<TkvILParser>(script_);
  unit->unitName_ = fileName;
  unit->sourceFileName_ = FileNameFromSystem(path.string());
  unit->useChain_ = UseChain();
  unit->useChain_.push_back(identity);
  unit->includedUnits_ = includedUnits_;
  unit->depthBase_ = depth;
  unit->SelectGrammar(languageName_);

  Forest children;
  if (unit->ParseSource(ReadSourceFile(path.string(), fileName), children)) {
    block->AddItem(unit->MakeProgram(children));
    includedUnits_->insert(identity);
  } else {
    // The unit's own message, position and name: the error lies in the unit's text. It
    // stays however the including parse goes on.
    error.Message = unit->errorText_;
    error.Position = unit->errorPosition_;
    error.UnitName = unit->errorUnitName_;
    error.Term = false;
    error.Sticky = true;
  }
  return block;
}

}  // namespace kv
