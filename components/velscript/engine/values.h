#pragma once

#include "engine_kit/variant.h"
#include "lang/value.h"

namespace velscript::engine {

// Script values as the engine interface passes them, and back. An array or object has no
// interface form and is passed by its type name.
Variant toVariant(const lang::Value& value);
lang::Value toValue(const Variant& value);

} // namespace velscript::engine
