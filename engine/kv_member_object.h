// The object a member helper works on.
#pragma once

#include "host/core/object.h"
#include "host/core/variant.h"

namespace kv {

// The live object of a member's instance value, checked to be of the class the member was
// defined on (any class when hostClass is nullptr). Raises for nil, stale, forged and
// unconstructed handles and for an object of another class.
TObject* MemberObject(const Variant& instanceValue, const TClass* hostClass);

}  // namespace kv
