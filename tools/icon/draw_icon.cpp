// Draws the program's icon: a photo with a download arrow in front of it.
//   vantrel_draw_icon <out.png>

#include <cstdio>

#include <QCoreApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSize = 128;

void drawPhoto(QPainter& painter)
{
    painter.save();
    painter.translate(58, 56);
    painter.rotate(-8);
    const QRectF card(-48, -38, 96, 76);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawRoundedRect(card.translated(3, 4), 7, 7);
    painter.setBrush(QColor(0xfa, 0xfa, 0xf7));
    painter.drawRoundedRect(card, 7, 7);

    const QRectF picture = card.adjusted(7, 7, -7, -7);
    QPainterPath frame;
    frame.addRoundedRect(picture, 3, 3);
    painter.setClipPath(frame);
    QLinearGradient sky(picture.topLeft(), picture.bottomLeft());
    sky.setColorAt(0, QColor(0x4a, 0x9c, 0xe8));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    painter.fillRect(picture, sky);
    painter.setBrush(QColor(0xff, 0xc1, 0x3b));
    painter.drawEllipse(QPointF(22, -14), 9, 9);
    QPainterPath hills;
    hills.moveTo(picture.left(), picture.bottom());
    hills.lineTo(picture.left(), 8);
    hills.quadTo(-18, -18, 4, 10);
    hills.quadTo(20, -2, picture.right(), 14);
    hills.lineTo(picture.right(), picture.bottom());
    hills.closeSubpath();
    painter.setBrush(QColor(0x3f, 0xa3, 0x4d));
    painter.drawPath(hills);
    painter.restore();
}

void drawArrowBadge(QPainter& painter)
{
    const QPointF centre(94, 94);
    painter.setPen(QPen(Qt::white, 5));
    QRadialGradient fill(centre - QPointF(8, 8), 36);
    fill.setColorAt(0, QColor(0xff, 0x6b, 0x4a));
    fill.setColorAt(1, QColor(0xd8, 0x2c, 0x20));
    painter.setBrush(fill);
    painter.drawEllipse(centre, 28, 28);

    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-7, -17));
    arrow.lineTo(centre + QPointF(7, -17));
    arrow.lineTo(centre + QPointF(7, -1));
    arrow.lineTo(centre + QPointF(16, -1));
    arrow.lineTo(centre + QPointF(0, 16));
    arrow.lineTo(centre + QPointF(-16, -1));
    arrow.lineTo(centre + QPointF(-7, -1));
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_draw_icon <out.png>\n");
        return 2;
    }
    QImage icon(kSize, kSize, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    drawPhoto(painter);
    drawArrowBadge(painter);
    painter.end();
    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "vantrel_draw_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
