#pragma once

#include <memory>

#include <QMessageBox>

namespace vantrel {

inline constexpr char kMessageCaption[] = "信息：";

// A message box with the program's caption, one OK button and no icon, owned by no
// window and modal for the whole application.
std::unique_ptr<QMessageBox> createMessageBox(const QString& text);

} // namespace vantrel
