// The interpreter, for binding libraries and hosts: the owning item list, the script object
// with its scopes and registration interface, the items (variables, parameters, procedures,
// class descriptors), the member helpers through which scripts reach host code, event
// adapters, designators and statements. Expressions are in kv_iexpression.h.
#pragma once

#include "engine/kv_callbacks.h"
#include "engine/kv_designators.h"
#include "engine/kv_events.h"
#include "engine/kv_item_list.h"
#include "engine/kv_items.h"
#include "engine/kv_member_helpers.h"
#include "engine/kv_script.h"
#include "engine/kv_statements.h"
