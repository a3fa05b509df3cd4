#pragma once

#include "lang/value.h"
#include "platform/variant.h"

namespace velscript::engine {

// Script values as the engine interface passes them, and back. An array or object has no
// interface form and is passed by its type name.
Variant toVariant(const lang::Value& value);
lang::Value toValue(const Variant& value);

} // namespace velscript::engine
