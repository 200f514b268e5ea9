// Engine-internal access to the process-wide objects without creating them: destructors and
// event deliveries must not bring a finished interpreter back to life.
#pragma once

namespace kv {

class TkvEventList;

// The global event list when it exists, else nullptr.
TkvEventList* ExistingEventList();

}  // namespace kv
