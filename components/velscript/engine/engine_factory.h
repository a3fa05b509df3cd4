#pragma once

namespace velscript::engine {

// Makes the reference engine a built-in class of the component service under the engine's class
// id, so that a fresh installation can create engines. An engine plugin found on the component
// path still takes its place.
void registerReferenceEngine();

} // namespace velscript::engine
