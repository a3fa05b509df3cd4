#pragma once

namespace velscript {

// Makes the VelSQL object a built-in class of the component service under its class id. A plugin
// in the component path that serves the same id still takes its place.
void registerVelSqlClass();

} // namespace velscript
