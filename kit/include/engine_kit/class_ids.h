#pragma once

#include <QString>

namespace velscript {

// The component classes the tester creates. Fixed for good: engines of other makers that serve
// these ids take the reference components' place through the component path.
inline const QString VelScriptEngineClassId =
    QStringLiteral("{6c1f0a53-58e2-4f7e-9a3d-2b8d54e7c901}");
inline const QString VelSqlObjectClassId = QStringLiteral("{b4e2d7a9-0c35-4d61-8f12-7a9e3c5d0b44}");

} // namespace velscript
