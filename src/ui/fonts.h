#pragma once

#include <QFont>

namespace vantrel {

// 编辑框1: "幼圆", 16 pixels, bold; mapped onto an installed Chinese face.
QFont editBoxFont();
// 超级列表框1: 14 pixels, normal weight, no face of its own.
QFont threadListFont();

} // namespace vantrel
