// The signatures through which the engine calls binding libraries, and the identity a
// library stamps on the items it registers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "host/core/object.h"
#include "host/core/ustring.h"
#include "host/core/variant.h"

namespace kv {

// Instance is the handle of the object (0 for a global function); ClassType is the host
// class the member was defined on (nullptr for a global function).

using TkvParams = std::vector<Variant>;
using TkvMethodCallback = std::function<Variant(int32_t instance, TClass* classType,
                                                const UString& methodName, TkvParams& params)>;
using TkvGetterCallback =
    std::function<Variant(int32_t instance, TClass* classType, const UString& propName)>;
using TkvSetterCallback = std::function<void(int32_t instance, TClass* classType,
                                             const UString& propName, const Variant& value)>;

// Identity of the binding library that registered an item (nullptr for script items).
using TkvRegistrar = const void*;

}  // namespace kv
