#include "ui/message_box.h"

namespace vantrel {

std::unique_ptr<QMessageBox> createMessageBox(const QString& text)
{
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::NoIcon, QString::fromUtf8(kMessageCaption), text, QMessageBox::Ok);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    return box;
}

} // namespace vantrel
