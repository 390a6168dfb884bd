// Draws the sample forum's pictures: each one shows its number large enough to
// tell the saved files apart at a glance. Run once; the JPEGs are committed.
//   render_sample_pictures <folder> [count]
#include <cstdio>
#include <cstdlib>

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QString>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [count]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int count = argc > 2 ? std::atoi(argv[2]) : 7;

    for (int number = 1; number <= count; ++number) {
        QImage picture(360, 240, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const int hue = (number * 47) % 360;
        QLinearGradient background(0, 0, 360, 240);
        background.setColorAt(0, QColor::fromHsv(hue, 120, 230));
        background.setColorAt(1, QColor::fromHsv(hue, 200, 120));
        painter.fillRect(picture.rect(), background);

        QFont numberFont(QStringLiteral("WenQuanYi Micro Hei"));
        numberFont.setPixelSize(150);
        numberFont.setBold(true);
        painter.setFont(numberFont);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, 360, 200), Qt::AlignCenter, QString::number(number));

        QFont captionFont(QStringLiteral("WenQuanYi Micro Hei"));
        captionFont.setPixelSize(18);
        painter.setFont(captionFont);
        painter.drawText(QRect(0, 196, 360, 36), Qt::AlignCenter,
                         QStringLiteral("示例图片 %1").arg(number));
        painter.end();

        const QString path = QStringLiteral("%1/%2.jpg").arg(folder).arg(number, 2, 10, QChar('0'));
        if (!picture.save(path, "JPEG", 60)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
