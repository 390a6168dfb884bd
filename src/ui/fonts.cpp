#include "ui/fonts.h"

#include <QGuiApplication>

namespace vantrel {
namespace {

const char kEditBoxFace[] = "幼圆";
// The face installed with the program that stands in for it.
const char kEditBoxSubstitute[] = "WenQuanYi Micro Hei";

} // namespace

QFont editBoxFont()
{
    static const bool substituted = [] {
        QFont::insertSubstitution(QString::fromUtf8(kEditBoxFace),
                                  QString::fromUtf8(kEditBoxSubstitute));
        return true;
    }();
    (void)substituted;
    QFont font(QString::fromUtf8(kEditBoxFace));
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QFont threadListFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace vantrel
