// The language front end the engine calls through kv_ifrontend.h: compiling a script's
// source (parse into the IL document, then compile the IL), and completing designators whose
// compilation was put off until their first use.
#pragma once

#include <memory>

#include "engine/kv_ifrontend.h"
#include "xml/kv_xml.h"

namespace kv {

// A designator's own copy of its IL element, compiled at the designator's first use. The
// copy lives while the script runs, out of the script's reach.
class TkvILDeferredCode : public TkvDeferredCode {
 public:
  explicit TkvILDeferredCode(std::unique_ptr<TkvXMLItem> element) : element_(std::move(element)) {
    HideFromScripts(*element_);
  }
  TkvXMLItem& Element() const { return *element_; }

 private:
  std::unique_ptr<TkvXMLItem> element_;  // never null
};

class TkvILFrontEnd : public TkvFrontEnd {
 public:
  // Creates a parser for the script, selects the grammar named by its SyntaxType, parses
  // the text of its Lines and, when that succeeded, compiles the IL document into it.
  void Compile(TkvScript& script) override;
  // Compiles the deferred IL element into a fresh designator of the script; raises the
  // compiler's error.
  std::unique_ptr<TkvDesignator> CompileDeferred(TkvScript& script, TkvDeferredCode& code) override;
};

// Registers the process-wide IL front end with the engine (start-up code calls it once;
// calling it again changes nothing).
void InstallILFrontEnd();

}  // namespace kv
